// The renderer's command line for a run.
#pragma once

#include <string>

#include "frontend/snapshot_files.h"
#include "settings/settings.h"

namespace merovan {

// The switches that ask the renderer for the chosen display options, then the pictures
// this run wrote, separated by single spaces.
std::wstring RendererArguments(const DisplayOptions& options, const WrittenSnapshots& snapshots);

}  // namespace merovan

// The renderer's command line for a run's display options.
#pragma once

#include <string>

#include "settings/settings.h"

namespace merovan {

// The switches that ask the renderer for the chosen options, separated by single spaces;
// empty when every option is off, so that the renderer starts as it always has.
std::wstring RendererArguments(const DisplayOptions& options);

}  // namespace merovan

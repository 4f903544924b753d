// Where the renderer finds the two snapshot pictures when it is not told.
#pragma once

#include <filesystem>

#include "common/program_names.h"

namespace merovan {

// Snapshot picture `number` (kSheetSnapshot or kBackgroundSnapshot).
std::filesystem::path SnapshotFilePath(int number);

}  // namespace merovan

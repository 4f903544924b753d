// Where the renderer finds the two snapshot pictures.
#pragma once

#include <string>

#include "common/program_names.h"

namespace merovan {

// UTF-8 path of snapshot picture `number` (kSheetSnapshot or kBackgroundSnapshot).
std::string SnapshotFilePath(int number);

}  // namespace merovan

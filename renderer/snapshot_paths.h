// Where the renderer finds the two snapshot pictures.
#pragma once

#include <string>

namespace merovan {

constexpr int kSheetSnapshot = 1;       // the desktop, wrapped around the sheet
constexpr int kBackgroundSnapshot = 2;  // the background quad's picture

// UTF-8 path of snapshot picture `number` (1 or 2).
std::string SnapshotFilePath(int number);

}  // namespace merovan

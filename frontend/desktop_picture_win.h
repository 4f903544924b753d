// The desktop as the run's first snapshot picture.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace merovan {

// A bitmap file of the screen's `area` (in the screen's coordinates, the primary monitor's
// top-left at 0, 0), upside down and unscaled: pixel (x, y) of the picture is the area's
// pixel (x, H − 1 − y), so the file's first stored row is the area's top row. None when the
// screen could not be copied.
std::optional<std::vector<uint8_t>> DesktopPictureFile(const RECT& area);

}  // namespace merovan

// A pointing hand cursor: white with a black outline, the index finger up, on
// transparency.
#pragma once

#include "tools/pictures/raster.h"

namespace merovan::pictures {

constexpr int kHandCursorSide = 32;
// The fingertip: the top white pixel of the raised finger.
constexpr int kHandHotSpotX = 12;
constexpr int kHandHotSpotY = 10;

Raster DrawHandCursor();

}  // namespace merovan::pictures

// The marks beside a group of choices of which one is chosen: a small square box, empty,
// or with a blue square in it for the chosen one. They sit on a light panel, so they fill
// their square to the edge.
#pragma once

#include "tools/pictures/raster.h"

namespace merovan::pictures {

constexpr int kChoiceMarkSide = 12;

Raster DrawChoiceMark(bool chosen);

}  // namespace merovan::pictures

// The program icon: a desktop picture twisted into a ribbon running from the bottom-left
// corner to the top-right, on a transparent background.
#pragma once

#include "tools/pictures/raster.h"

namespace merovan::pictures {

Raster DrawProgramIcon(int side);

}  // namespace merovan::pictures

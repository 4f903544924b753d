// The small pictures of the running screen saver shown in the display settings, drawn by
// the renderer's own scene code into memory and shrunk for smooth edges.
#pragma once

#include "tools/pictures/raster.h"

namespace merovan::pictures {

constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;

// The desktop picture twisted into a band, on white.
Raster DrawDesktopPreview();
// Dark, see-through twisted panels on black.
Raster DrawBackgroundPreview();

}  // namespace merovan::pictures

// The desktop picture the program's pictures show twisted: green hills under a blue sky,
// with a few icons and their labels.
#pragma once

#include "tools/pictures/raster.h"

namespace merovan::pictures {

enum class DesktopIcon { kComputer, kFolder, kDocument, kBin };

// Sky, clouds and hills over the whole raster, whatever its shape.
void DrawLandscape(Raster& picture);
// One icon `side` pixels square with its top-left corner at (x, y), and when `labelled` a
// light label mark beneath it.
void DrawDesktopIcon(Raster& picture, DesktopIcon icon, float x, float y, float side,
                     bool labelled);
// A whole screen: the landscape with a column of labelled icons down the left.
Raster DrawDesktop(int width, int height);

}  // namespace merovan::pictures

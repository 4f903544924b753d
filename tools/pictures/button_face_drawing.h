// The faces of the dialogs' push buttons. A button draws only the 4-pixel frame of its
// face: the corners as they are, the top and bottom edges stretched across and the side
// edges stretched down. So each edge is the same all along its stretch, and only the
// inner columns of the sides shade a little from top to bottom.
#pragma once

#include "tools/pictures/raster.h"

namespace merovan::pictures {

constexpr int kButtonFaceWidth = 64;
constexpr int kButtonFaceHeight = 25;

enum class ButtonFace {
    kNormal,
    kHighlight,  // also the look of the highlighted button with the focus
    kPressed,
    kSelected,
    kDisable,
};

// A dark blue outline with rounded corners blended into the dialog colour, over a light
// face; the looks differ in the inner edge, where the outline lies and its colour.
Raster DrawButtonFace(ButtonFace face);

}  // namespace merovan::pictures

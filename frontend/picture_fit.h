// Where a picture is drawn to fill an area without changing its shape.
#pragma once

namespace merovan {

struct PictureBox {
    int x, y, width, height;
};

// The largest box of the picture's aspect that fits the area, centred in it; the rest of
// the area is left for bars along two of its sides.
PictureBox FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

}  // namespace merovan

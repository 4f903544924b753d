#include "frontend/picture_fit.h"

namespace merovan {
namespace {

// a × b ÷ c, rounded to the nearest whole number.
int ScaleRounded(int a, int b, int c) {
    return static_cast<int>((2LL * a * b + c) / (2LL * c));
}

}  // namespace

PictureBox FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return PictureBox{0, 0, 0, 0};
    if (1LL * areaWidth * pictureHeight <= 1LL * areaHeight * pictureWidth) {
        // Narrower than the picture: it takes the whole width, bars above and below.
        const int height = ScaleRounded(areaWidth, pictureHeight, pictureWidth);
        return PictureBox{0, (areaHeight - height) / 2, areaWidth, height};
    }
    const int width = ScaleRounded(areaHeight, pictureWidth, pictureHeight);
    return PictureBox{(areaWidth - width) / 2, 0, width, areaHeight};
}

}  // namespace merovan

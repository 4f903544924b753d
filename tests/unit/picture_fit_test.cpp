#include "frontend/picture_fit.h"

#include <gtest/gtest.h>

#include <array>

namespace merovan {
namespace {

TEST(PictureFit, FillsTheAreaKeepingTheShape) {
    struct Row {
        int areaWidth, areaHeight;
        PictureBox box;
    };
    const Row rows[] = {
        {152, 112, {0, 0, 152, 112}},   // its own size
        {228, 168, {0, 0, 228, 168}},   // 150 %: filled
        {200, 150, {0, 1, 200, 147}},   // a little taller: bars above and below
        {300, 112, {74, 0, 152, 112}},  // wider: bars left and right
        {76, 100, {0, 22, 76, 56}},    {0, 112, {0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        const PictureBox box = FitPicture(152, 112, row.areaWidth, row.areaHeight);
        EXPECT_EQ((std::array<int, 4>{box.x, box.y, box.width, box.height}),
                  (std::array<int, 4>{row.box.x, row.box.y, row.box.width, row.box.height}))
            << row.areaWidth << " x " << row.areaHeight;
    }
}

}  // namespace
}  // namespace merovan

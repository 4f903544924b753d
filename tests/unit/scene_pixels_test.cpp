// Draws real frames of the scene offscreen at the renderer's 1024 x 768 and checks pixels.
#include "renderer/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "renderer/gl_api.h"
#include "renderer/texture.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/temp_folder.h"

namespace merovan {
namespace {

using testing::BmpSpec;
using testing::MakeBmp;
using testing::Rgb;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

class ScenePixels : public ::testing::Test {
  protected:
    void WriteSnapshot(int number, Rgb colour, int width = 93, int height = 85) {
        BmpSpec spec;
        spec.width = width;
        spec.height = height;
        spec.colour = [colour](int, int) { return colour; };
        folder_.Write("Merovan" + std::to_string(number) + ".bmp", MakeBmp(spec));
    }

    // The first frame, drawn at time zero.
    void DrawFirstFrame() {
        setenv("MEROVAN_SNAPSHOT_DIR", folder_.Path().c_str(), 1);
        g_width = kWidth;
        g_height = kHeight;
        g_time = 0.0f;
        ASSERT_TRUE(InitScene());
        DrawFrame();
    }

    void TearDown() override {
        g_sheetTexture.Release();
        g_backgroundTexture.Release();
    }

    testing::TempFolder folder_;
    testing::OffscreenGl gl_{kWidth, kHeight};
};

bool IsBlack(Rgb c) {
    return c.r == 0 && c.g == 0 && c.b == 0;
}

TEST_F(ScenePixels, BackgroundLeavesThreeBlackRowsAtTopAndBottom) {
    WriteSnapshot(1, Rgb{255, 255, 255});
    WriteSnapshot(2, Rgb{255, 255, 255});
    DrawFirstFrame();
    // Left and right of the sheet; the quad is wider than the view.
    for (int x : {0, 40, kWidth - 41, kWidth - 1}) {
        SCOPED_TRACE(x);
        for (int y : {0, 1, 2, kHeight - 3, kHeight - 2, kHeight - 1}) {
            EXPECT_TRUE(IsBlack(gl_.Pixel(x, y))) << "row " << y;
        }
        for (int y : {3, 100, kHeight / 2, kHeight - 4}) {
            EXPECT_GT(gl_.Pixel(x, y).g, 150) << "row " << y;
        }
    }
}

TEST_F(ScenePixels, BlackBackgroundPictureMakesABlackBackdrop) {
    WriteSnapshot(1, Rgb{255, 255, 255});
    WriteSnapshot(2, Rgb{0, 0, 0});
    DrawFirstFrame();
    for (int y : {3, 200, 600, kHeight - 4}) {
        EXPECT_TRUE(IsBlack(gl_.Pixel(20, y)));
        EXPECT_TRUE(IsBlack(gl_.Pixel(kWidth - 21, y)));
    }
    EXPECT_GT(gl_.Pixel(kWidth / 2, kHeight / 2).r, 240);  // the sheet's crest
}

TEST_F(ScenePixels, WithoutPicturesTheCornersShowTheirTints) {
    DrawFirstFrame();                                            // no files in the folder
    const Rgb topLeft = gl_.Pixel(8, 8);                         // 1.0, 0.8, 1.0
    const Rgb topRight = gl_.Pixel(kWidth - 9, 8);               // 0.8, 0.8, 1.0
    const Rgb bottomLeft = gl_.Pixel(8, kHeight - 9);            // 1.0, 0.8, 0.8
    const Rgb bottomRight = gl_.Pixel(kWidth - 9, kHeight - 9);  // 0.8, 1.0, 0.8
    EXPECT_GT(topLeft.r, topLeft.g + 20);
    EXPECT_GT(topLeft.b, topLeft.g + 20);
    EXPECT_GT(topRight.b, topRight.r + 20);
    EXPECT_GT(topRight.b, topRight.g + 20);
    EXPECT_GT(bottomLeft.r, bottomLeft.g + 20);
    EXPECT_GT(bottomLeft.r, bottomLeft.b + 20);
    EXPECT_GT(bottomRight.g, bottomRight.r + 20);
    EXPECT_GT(bottomRight.g, bottomRight.b + 20);
    // The sheet without its picture is a grey tube.
    const Rgb crest = gl_.Pixel(kWidth / 2, kHeight / 2);
    EXPECT_EQ(crest.r, crest.g);
    EXPECT_EQ(crest.g, crest.b);
    EXPECT_GT(crest.r, 240);
}

// Screen column of the sheet point at angle theta on the middle row, for the first frame's
// cylinder of radius 1 seen from three units with a 55-degree field of view.
double ColumnOfAngle(double theta) {
    const double x = std::cos(theta), z = std::sin(theta);
    const double halfWidth = std::tan(27.5 * M_PI / 180.0) * 4.0 / 3.0;
    return (x / (3.0 - z) / halfWidth + 1.0) / 2.0 * kWidth;
}

TEST_F(ScenePixels, FirstFrameIsACylinderBrightAtItsCrestAndDarkAtItsFlanks) {
    WriteSnapshot(1, Rgb{255, 255, 255});
    WriteSnapshot(2, Rgb{0, 0, 0});
    DrawFirstFrame();
    const int row = kHeight / 2 + 10;
    // Seen from three units the tube's outline lies where sin(theta) = 1/3; the parts outside
    // theta = 19.5 … 160.5 degrees turn away from the eye and are hidden by nearer parts.
    const double outline = std::asin(1.0 / 3.0);
    for (double degrees : {28.0, 35.0, 45.0, 135.0, 145.0, 152.0}) {
        SCOPED_TRACE(degrees);
        const double theta = degrees * M_PI / 180.0;
        const int column = static_cast<int>(std::lround(ColumnOfAngle(theta)));
        const double expected = std::min(1.0, 1.2 * std::sin(theta)) * 255.0;
        const Rgb pixel = gl_.Pixel(column, row);
        EXPECT_NEAR(pixel.g, expected, 14.0);
        EXPECT_EQ(pixel.r, pixel.g);
    }
    // Crest: shade 1.2 clamps to white over a broad band.
    EXPECT_EQ(gl_.Pixel(kWidth / 2, row).g, 255);
    // Outside the cylinder the black backdrop shows.
    EXPECT_TRUE(IsBlack(gl_.Pixel(static_cast<int>(ColumnOfAngle(outline)) + 4, row)));
    EXPECT_TRUE(IsBlack(gl_.Pixel(static_cast<int>(ColumnOfAngle(M_PI - outline)) - 4, row)));
}

TEST_F(ScenePixels, SheetShowsTheFirstPictureAndTheTablesMoveOn) {
    WriteSnapshot(1, Rgb{255, 0, 0}, 1024, 768);
    WriteSnapshot(2, Rgb{0, 0, 0});
    DrawFirstFrame();
    const Rgb crest = gl_.Pixel(kWidth / 2, kHeight / 2);
    EXPECT_GT(crest.r, 240);
    EXPECT_EQ(crest.g, 0);
    EXPECT_EQ(crest.b, 0);
    // The frame drew the plain cylinder and left the tables for the next frame's time.
    for (int k = 0; k < kRingCount; k += 7) {
        const RingShape next = RingShapeAt(k, 0.0);
        EXPECT_DOUBLE_EQ(g_ringRadius[k], next.radius);
        EXPECT_DOUBLE_EQ(g_ringShiftX[k], next.shiftX);
        EXPECT_DOUBLE_EQ(g_ringTexShift[k], next.texShift);
    }
}

TEST_F(ScenePixels, TheSheetTurnsAnticlockwiseAtTwentyDegreesPerSecond) {
    WriteSnapshot(1, Rgb{255, 255, 255});
    WriteSnapshot(2, Rgb{0, 0, 0});
    DrawFirstFrame();
    // 4.5 s later the sheet has turned 90 degrees: it lies across the screen.
    g_time = 4.5f;
    for (int k = 0; k < kRingCount; ++k) {
        g_ringRadius[k] = 1.0;
        g_ringShiftX[k] = 0.0;
        g_ringTexShift[k] = 0.0;
    }
    DrawFrame();
    EXPECT_GT(gl_.Pixel(kWidth / 2 - 300, kHeight / 2).g, 240);
    EXPECT_GT(gl_.Pixel(kWidth / 2 + 300, kHeight / 2).g, 240);
    EXPECT_TRUE(IsBlack(gl_.Pixel(kWidth / 2, 60)));
    EXPECT_TRUE(IsBlack(gl_.Pixel(kWidth / 2, kHeight - 60)));
}

}  // namespace
}  // namespace merovan

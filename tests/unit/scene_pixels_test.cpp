// Draws real frames of the scene offscreen at the renderer's 1024 x 768 and checks pixels.
#include "renderer/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "renderer/gl_api.h"
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
        WriteSnapshot(
            number, [colour](int, int) { return colour; }, width, height);
    }
    void WriteSnapshot(int number, std::function<Rgb(int, int)> colour, int width, int height) {
        BmpSpec spec;
        spec.width = width;
        spec.height = height;
        spec.colour = std::move(colour);
        folder_.Write("Merovan" + std::to_string(number) + ".bmp", MakeBmp(spec));
    }

    // The scene set up with whatever pictures the folder holds, prepared as the renderer's
    // worker thread prepares them.
    void SetUpScene() {
        PictureRequest request;
        request.sheetPath = (folder_.Path() / "Merovan1.bmp").string();
        request.backgroundPath = (folder_.Path() / "Merovan2.bmp").string();
        const std::atomic<bool> cancelled{false};
        InitScene(scene_, {SceneView{0, 0, kWidth, kHeight}});
        UploadPictures(scene_, PreparePictures(request, cancelled));
    }

    // The first frame, drawn at time zero.
    void DrawFirstFrame() {
        SetUpScene();
        DrawFrame(scene_, 0.0f, DrawOrder::kLeastFill);
    }

    testing::TempFolder folder_;
    testing::OffscreenGl gl_{kWidth, kHeight};
    Scene scene_;
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
    EXPECT_TRUE(scene_.backgroundIsBlack);
    for (int y : {3, 200, 600, kHeight - 4}) {
        EXPECT_TRUE(IsBlack(gl_.Pixel(20, y)));
        EXPECT_TRUE(IsBlack(gl_.Pixel(kWidth - 21, y)));
    }
    EXPECT_GT(gl_.Pixel(kWidth / 2, kHeight / 2).r, 240);  // the sheet's crest
}

TEST_F(ScenePixels, WithoutPicturesTheCornersShowTheirTints) {
    DrawFirstFrame();  // no files in the folder
    EXPECT_FALSE(scene_.backgroundIsBlack);
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
        EXPECT_DOUBLE_EQ(scene_.rings.radius[k], next.radius);
        EXPECT_DOUBLE_EQ(scene_.rings.shiftX[k], next.shiftX);
        EXPECT_DOUBLE_EQ(scene_.rings.texShift[k], next.texShift);
    }
}

TEST_F(ScenePixels, TheSheetTurnsAnticlockwiseAtTwentyDegreesPerSecond) {
    WriteSnapshot(1, Rgb{255, 255, 255});
    WriteSnapshot(2, Rgb{0, 0, 0});
    DrawFirstFrame();
    // 4.5 s later the sheet has turned 90 degrees: it lies across the screen.
    for (int k = 0; k < kRingCount; ++k) {
        scene_.rings.radius[k] = 1.0;
        scene_.rings.shiftX[k] = 0.0;
        scene_.rings.texShift[k] = 0.0;
    }
    DrawFrame(scene_, 4.5f, DrawOrder::kLeastFill);
    EXPECT_GT(gl_.Pixel(kWidth / 2 - 300, kHeight / 2).g, 240);
    EXPECT_GT(gl_.Pixel(kWidth / 2 + 300, kHeight / 2).g, 240);
    EXPECT_TRUE(IsBlack(gl_.Pixel(kWidth / 2, 60)));
    EXPECT_TRUE(IsBlack(gl_.Pixel(kWidth / 2, kHeight - 60)));
}

// The frame with the least fill against the frame drawn background first, over the first
// minute, in three settings. Only pixels where two surfaces lie at exactly the same depth
// may differ.
TEST_F(ScenePixels, LeastFillDrawsTheSamePictureAsBackgroundFirst) {
    constexpr int kFrames = 21;
    constexpr double kFrameStepSeconds = 2.9;  // frame 20 at 58 s
    constexpr double kMostDifferingShare = 0.0005;
    const auto desktop = [](int x, int y) {
        return Rgb{static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 3),
                   static_cast<uint8_t>((x ^ y) & 0xFF)};
    };
    const auto tinted = [](int x, int y) {
        return Rgb{static_cast<uint8_t>(40 + x), static_cast<uint8_t>(200 - y),
                   static_cast<uint8_t>(90 + (x + y) % 60)};
    };
    struct Setting {
        const char* name;
        bool desktopPicture;
        std::function<Rgb(int, int)> background;  // none: no second picture
        bool backgroundSkipped;
    };
    const Setting settings[] = {
        {"desktop picture, black background", true,
         [](int, int) {
             return Rgb{0, 0, 0};
         },
         true},
        {"coloured background", true, tinted, false},
        {"no pictures", false, nullptr, false},
    };
    for (const Setting& setting : settings) {
        SCOPED_TRACE(setting.name);
        std::filesystem::remove(folder_.Path() / "Merovan1.bmp");
        std::filesystem::remove(folder_.Path() / "Merovan2.bmp");
        if (setting.desktopPicture) {
            WriteSnapshot(1, desktop, 1283, 1021);  // rows padded to four bytes
        }
        if (setting.background) {
            WriteSnapshot(2, setting.background, 93, 85);
        }
        SetUpScene();
        ASSERT_EQ(scene_.backgroundIsBlack, setting.backgroundSkipped);

        size_t mostDiffering = 0;
        for (int frame = 0; frame < kFrames; ++frame) {
            const float time = static_cast<float>(frame * kFrameStepSeconds);
            // Each frame shows the tables of the frame before.
            if (frame > 0) {
                AdvanceRings(scene_.rings, (frame - 1) * kFrameStepSeconds);
            }
            const RingTables rings = scene_.rings;
            DrawFrame(scene_, time, DrawOrder::kBackgroundFirst);
            const std::vector<uint8_t> reference = gl_.Pixels();
            scene_.rings = rings;
            DrawFrame(scene_, time, DrawOrder::kLeastFill);
            const std::vector<uint8_t> drawn = gl_.Pixels();
            scene_.rings = rings;

            size_t differing = 0, lit = 0;
            for (size_t i = 0; i < drawn.size(); i += 4) {
                differing += drawn[i] != reference[i] || drawn[i + 1] != reference[i + 1] ||
                             drawn[i + 2] != reference[i + 2];
                lit += drawn[i] > 40 || drawn[i + 1] > 40 || drawn[i + 2] > 40;
            }
            // Both frames show the scene, not an empty buffer.
            ASSERT_GT(lit, drawn.size() / 4 / 10) << "frame at " << time << " s";
            EXPECT_LE(differing, kMostDifferingShare * kWidth * kHeight)
                << "frame at " << time << " s";
            mostDiffering = std::max(mostDiffering, differing);
        }
        std::printf("%s: at most %zu differing pixels in a frame\n", setting.name, mostDiffering);
    }
}

}  // namespace
}  // namespace merovan

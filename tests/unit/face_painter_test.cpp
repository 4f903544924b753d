#include "controls/face_painter.h"

#include <gtest/gtest.h>

namespace controls {
namespace {

// A face picture whose every pixel says where it came from: blue = x, green = y.
Pixels Labelled() {
    Pixels face(kFacePictureWidth, kFacePictureHeight);
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            uint8_t* p = face.At(x, y);
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 0xEE;
        }
    }
    return face;
}

std::pair<int, int> SourceOf(const Pixels& s, int x, int y) {
    const uint8_t* p = s.At(x, y);
    EXPECT_EQ(p[2], 0xEE) << "pixel (" << x << ", " << y << ") is not from the face";
    return {p[0], p[1]};
}

TEST(FacePainter, GradientEnds) {
    EXPECT_EQ(ColourFromText(kLightColour), 0xFFFFFFu);
    EXPECT_EQ(ColourFromText(kShadeColour), 0xC6C5D7u);
    Pixels surface(77, 25);
    PaintGradient(surface, false);
    EXPECT_EQ(surface.Rgb(0, 0), 0xFFFFFFu);
    EXPECT_EQ(surface.Rgb(76, 0), 0xFFFFFFu);
    EXPECT_EQ(surface.Rgb(40, 24), 0xC6C5D7u);
    // Linear in between: the middle row is half way.
    const uint32_t middle = surface.Rgb(10, 12);
    EXPECT_NEAR(static_cast<int>(middle >> 16), (0xFF + 0xC6) / 2, 1);
    EXPECT_NEAR(static_cast<int>((middle >> 8) & 0xFF), (0xFF + 0xC5) / 2, 1);
    EXPECT_NEAR(static_cast<int>(middle & 0xFF), (0xFF + 0xD7) / 2, 1);
    for (int y = 1; y < 25; ++y) {
        EXPECT_LE(surface.Rgb(0, y) >> 16, surface.Rgb(0, y - 1) >> 16) << "row " << y;
    }
    PaintGradient(surface, true);
    EXPECT_EQ(surface.Rgb(5, 0), 0xC6C5D7u);
    EXPECT_EQ(surface.Rgb(5, 24), 0xFFFFFFu);
}

TEST(FacePainter, FramePiecesOfA77By25Button) {
    Pixels surface(77, 25);
    PaintGradient(surface, false);
    PaintFrame(surface, Labelled());
    // Corners unscaled.
    EXPECT_EQ(SourceOf(surface, 0, 0), std::make_pair(0, 0));
    EXPECT_EQ(SourceOf(surface, 3, 3), std::make_pair(3, 3));
    EXPECT_EQ(SourceOf(surface, 73, 0), std::make_pair(60, 0));
    EXPECT_EQ(SourceOf(surface, 76, 24), std::make_pair(63, 24));
    EXPECT_EQ(SourceOf(surface, 0, 21), std::make_pair(0, 21));
    // Top and bottom edges stretched from 56 to 69 pixels.
    EXPECT_EQ(SourceOf(surface, 4, 0), std::make_pair(4, 0));
    EXPECT_EQ(SourceOf(surface, 72, 1), std::make_pair(59, 1));
    EXPECT_EQ(SourceOf(surface, 38, 23), std::make_pair(4 + 34 * 56 / 69, 23));
    // Side edges copied unstretched: 17 rows.
    for (int y = 4; y < 21; ++y) {
        EXPECT_EQ(SourceOf(surface, 1, y), std::make_pair(1, y));
        EXPECT_EQ(SourceOf(surface, 75, y), std::make_pair(62, y));
    }
    // The middle shows the gradient.
    EXPECT_NE(surface.At(38, 12)[2], 0xEE);
}

TEST(FacePainter, TallerButtonsStretchTheSides) {
    Pixels surface(41, 40);
    PaintFrame(surface, Labelled());
    EXPECT_EQ(SourceOf(surface, 0, 4), std::make_pair(0, 4));
    EXPECT_EQ(SourceOf(surface, 0, 35), std::make_pair(0, 4 + 31 * 17 / 32));
    EXPECT_EQ(SourceOf(surface, 40, 39), std::make_pair(63, 24));
}

TEST(FacePainter, TinyButtonsNeverDrawOutside) {
    for (int w : {0, 1, 5, 8}) {
        for (int h : {0, 1, 7, 8}) {
            Pixels surface(w, h);
            PaintGradient(surface, false);
            PaintFrame(surface, Labelled());
            EXPECT_EQ(surface.bgr.size(), static_cast<size_t>(w * h * 3));
        }
    }
}

TEST(FacePainter, CaptionTop) {
    EXPECT_DOUBLE_EQ(CaptionTopTwips(375, 195), 80.0);
    EXPECT_DOUBLE_EQ(CaptionTopTwips(420, 195), 102.5);
    EXPECT_DOUBLE_EQ(CaptionTopTwips(315, 195), 50.0);
}

}  // namespace
}  // namespace controls

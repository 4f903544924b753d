#include "controls/face_painter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

uint32_t Rgb(const Pixels& s, int x, int y) {
    const uint8_t* p = s.At(x, y);
    return (static_cast<uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
}

TEST(FacePainter, GradientEnds) {
    Pixels surface(77, 25);
    PaintGradient(surface, false);
    EXPECT_EQ(Rgb(surface, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(surface, 76, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(surface, 40, 24), 0xC6C5D7u);
    // Linear in between: the middle row is half way.
    const uint32_t middle = Rgb(surface, 10, 12);
    EXPECT_NEAR(static_cast<int>(middle >> 16), (0xFF + 0xC6) / 2, 1);
    EXPECT_NEAR(static_cast<int>((middle >> 8) & 0xFF), (0xFF + 0xC5) / 2, 1);
    EXPECT_NEAR(static_cast<int>(middle & 0xFF), (0xFF + 0xD7) / 2, 1);
    for (int y = 1; y < 25; ++y) {
        EXPECT_LE(Rgb(surface, 0, y) >> 16, Rgb(surface, 0, y - 1) >> 16) << "row " << y;
    }
    PaintGradient(surface, true);
    EXPECT_EQ(Rgb(surface, 5, 0), 0xC6C5D7u);
    EXPECT_EQ(Rgb(surface, 5, 24), 0xFFFFFFu);
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

// Too small for the edges: only the four corners are drawn, clipped to the surface, and
// the last drawn wins where they overlap.
TEST(FacePainter, TinyButtonsShowOnlyTheirCorners) {
    struct Row {
        int width, height, x, y, faceX, faceY;  // a surface pixel and the face pixel it shows
    };
    const Row rows[] = {{8, 8, 0, 0, 0, 0},   {8, 8, 3, 3, 3, 3},  {8, 8, 4, 0, 60, 0},
                        {8, 8, 7, 7, 63, 24}, {8, 8, 0, 4, 0, 21}, {5, 7, 0, 0, 0, 0},
                        {5, 7, 1, 0, 60, 0},  {5, 7, 4, 2, 63, 2}, {5, 7, 0, 3, 0, 21},
                        {5, 7, 4, 6, 63, 24}, {1, 1, 0, 0, 0, 24}};
    for (const Row& row : rows) {
        Pixels surface(row.width, row.height);
        PaintFrame(surface, Labelled());
        EXPECT_EQ(SourceOf(surface, row.x, row.y), std::make_pair(row.faceX, row.faceY))
            << row.width << " x " << row.height << " at " << row.x << ", " << row.y;
    }
}

TEST(FacePainter, CaptionStandsAboveTheMiddle) {
    struct Row {
        int height, dpi, top, bottom;
    };
    const Row rows[] = {
        {25, 96, 5, 18},  {21, 96, 3, 16},  {28, 96, 7, 20},   {5, 96, -5, 8},
        {0, 96, -7, 6},   {31, 120, 7, 23}, {26, 120, 4, 20},  {37, 144, 8, 28},
        {38, 144, 8, 28}, {44, 168, 9, 32}, {50, 192, 11, 37},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.height) + " px at " + std::to_string(row.dpi));
        const CaptionRows place = CaptionPlace(row.height, row.dpi);
        EXPECT_EQ(place.top, row.top);
        EXPECT_EQ(place.bottom, row.bottom);
    }
}

}  // namespace
}  // namespace controls

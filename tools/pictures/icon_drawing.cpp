#include "tools/pictures/icon_drawing.h"

#include <cmath>

#include "tools/pictures/desktop_drawing.h"

namespace merovan::pictures {
namespace {

// The ribbon in units of the icon's side, seen face on: its axis runs through the centre
// along the rising diagonal, and at each point along the axis the picture is turned by an
// angle about it, so its visible width is the full width times the cosine of that angle.
constexpr float kLength = 1.16f;       // along the axis
constexpr float kHalfWidth = 0.19f;    // across the axis, facing the viewer
constexpr float kTurnAtStart = -1.0f;  // radians, at the bottom-left end
constexpr float kTurnAtEnd = 4.0f;     // at the top-right end; past pi/2 the back shows
constexpr float kBend = 0.03f;         // the axis snakes a little across itself
constexpr float kTwoPi = 6.2831853f;
// A dark rim keeps the ribbon apart from any desktop behind the icon.
constexpr float kEdgeWidthPixels = 0.9f;
constexpr Colour kEdge = Rgb(0x10245A);
// Brightness of the two faces, seen edge-on and face-on; the back is dimmer so the twist
// reads even where the picture is all sky.
constexpr float kFrontEdgeOnLight = 0.55f, kFrontFaceOnLight = 1.0f;
constexpr float kBackEdgeOnLight = 0.42f, kBackFaceOnLight = 0.7f;
constexpr int kSamplesPerSide = 8;

constexpr int kRibbonPictureWidth = 256;
constexpr int kRibbonPictureHeight = 96;
constexpr float kRibbonIconSide = 30.0f;
constexpr float kRibbonIconTop = 14.0f;

// The picture on the ribbon: a long strip of desktop with an icon at the middle of each
// half, where the ribbon is widest.
Raster DrawRibbonPicture() {
    Raster p(kRibbonPictureWidth, kRibbonPictureHeight);
    DrawLandscape(p);
    const float left = 0.2f * kRibbonPictureWidth - kRibbonIconSide / 2;
    const float right = 0.8f * kRibbonPictureWidth - kRibbonIconSide / 2;
    DrawDesktopIcon(p, DesktopIcon::kComputer, left, kRibbonIconTop, kRibbonIconSide, false);
    DrawDesktopIcon(p, DesktopIcon::kFolder, right, kRibbonIconTop, kRibbonIconSide, false);
    return p;
}

// Colour of the icon at (x, y), both 0 … 1 with y downwards.
Colour RibbonAt(const Raster& picture, float x, float y, float edge) {
    constexpr float kInvRoot2 = 0.70710678f;
    const float dx = x - 0.5f, dy = y - 0.5f;
    const float along = (dx - dy) * kInvRoot2;  // towards the top-right
    float across = (dx + dy) * kInvRoot2;       // towards the bottom-right
    if (std::fabs(along) > kLength / 2) {
        return kClear;
    }
    const float f = along / kLength + 0.5f;  // 0 at the bottom-left end, 1 at the top-right
    across -= kBend * std::sin(kTwoPi * f);
    const float facing = std::cos(kTurnAtStart + (kTurnAtEnd - kTurnAtStart) * f);
    const float width = kHalfWidth * facing;
    if (std::fabs(across) > std::fabs(width)) {
        return kClear;
    }
    if (std::fabs(width) - std::fabs(across) < edge || kLength / 2 - std::fabs(along) < edge) {
        return kEdge;
    }
    // The top of the screen is on the upper-left side of the ribbon; on the back the
    // picture shows mirrored, as the sign of the width turns it.
    const float s = across / width;
    const Colour c = picture.Sample(f, 0.5f * (s + 1.0f));
    const float light = facing > 0
                            ? kFrontEdgeOnLight + (kFrontFaceOnLight - kFrontEdgeOnLight) * facing
                            : kBackEdgeOnLight - (kBackFaceOnLight - kBackEdgeOnLight) * facing;
    return Shaded(c, light);
}

}  // namespace

Raster DrawProgramIcon(int side) {
    const Raster picture = DrawRibbonPicture();
    Raster icon(side, side);
    const float pixel = 1.0f / static_cast<float>(side);
    const float edge = kEdgeWidthPixels * pixel;
    constexpr float kStep = 1.0f / kSamplesPerSide;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            Colour sum;
            for (int sy = 0; sy < kSamplesPerSide; ++sy) {
                for (int sx = 0; sx < kSamplesPerSide; ++sx) {
                    const Colour c = RibbonAt(picture, (x + (sx + 0.5f) * kStep) * pixel,
                                              (y + (sy + 0.5f) * kStep) * pixel, edge);
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
            }
            if (sum.a > 0.0f) {
                constexpr float kSamples = kSamplesPerSide * kSamplesPerSide;
                icon.Set(x, y,
                         Colour{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / kSamples});
            }
        }
    }
    return icon;
}

}  // namespace merovan::pictures

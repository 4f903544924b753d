#include "tools/pictures/desktop_drawing.h"

#include <cmath>
#include <vector>

namespace merovan::pictures {
namespace {

constexpr Colour kSkyTop = Rgb(0x1A4FB5);
constexpr Colour kSkyHorizon = Rgb(0x8AC9F2);
constexpr Colour kCloud = Rgb(0xF4F8FC);
constexpr Colour kFarHill = Rgb(0x7CC24E);
constexpr Colour kMiddleHill = Rgb(0x4CAA3E);
constexpr Colour kNearHill = Rgb(0x2E8A35);
constexpr Colour kIconShadow{0.0f, 0.0f, 0.0f, 0.35f};
constexpr Colour kLabel = Rgb(0xF2F2F2);

constexpr float kHorizon = 0.62f;  // of the height, where the sky meets the far hills
constexpr float kTwoPi = 6.2831853f;

void DrawCloud(Raster& p, float x, float y, float size) {
    p.FillEllipse(x, y, 1.0f * size, 0.45f * size, kCloud);
    p.FillEllipse(x - 0.55f * size, y + 0.1f * size, 0.6f * size, 0.32f * size, kCloud);
    p.FillEllipse(x + 0.3f * size, y - 0.25f * size, 0.55f * size, 0.4f * size, kCloud);
}

}  // namespace

void DrawLandscape(Raster& p) {
    const float w = static_cast<float>(p.Width()), h = static_cast<float>(p.Height());
    p.FillVerticalGradient(0.0f, 0.0f, w, kHorizon * h, kSkyTop, kSkyHorizon);
    p.FillRect(0.0f, kHorizon * h, w, h, kSkyHorizon);
    DrawCloud(p, 0.62f * w, 0.2f * h, 0.09f * w);
    DrawCloud(p, 0.86f * w, 0.34f * h, 0.06f * w);

    // The far ridge rolls gently along the horizon.
    std::vector<Point> ridge{{w, h}, {0.0f, h}};
    constexpr int kRidgePoints = 48;
    for (int i = 0; i <= kRidgePoints; ++i) {
        const float x = w * static_cast<float>(i) / kRidgePoints;
        const float wave = 0.035f * std::sin(kTwoPi * 1.4f * x / w + 0.6f) +
                           0.02f * std::sin(kTwoPi * 3.1f * x / w + 2.0f);
        ridge.push_back({x, h * (kHorizon + wave)});
    }
    p.FillPolygon(ridge, kFarHill);
    p.FillEllipse(0.15f * w, 1.12f * h, 0.6f * w, 0.36f * h, kMiddleHill);
    p.FillEllipse(0.8f * w, 1.22f * h, 0.62f * w, 0.4f * h, kNearHill);
}

void DrawDesktopIcon(Raster& p, DesktopIcon icon, float x, float y, float side, bool labelled) {
    const float s = side;
    const float shadow = 0.08f * s;
    switch (icon) {
        case DesktopIcon::kComputer:
            p.FillRect(x + shadow, y + shadow, x + s + shadow, y + 0.8f * s + shadow, kIconShadow);
            p.FillRect(x, y, x + s, y + 0.8f * s, Rgb(0xD8D8D0));
            p.FillRect(x + 0.12f * s, y + 0.12f * s, x + 0.88f * s, y + 0.62f * s, Rgb(0x1F6FD0));
            p.FillRect(x + 0.3f * s, y + 0.8f * s, x + 0.7f * s, y + s, Rgb(0xA8A8A0));
            break;
        case DesktopIcon::kFolder:
            p.FillRect(x + shadow, y + 0.2f * s + shadow, x + s + shadow, y + s + shadow,
                       kIconShadow);
            p.FillRect(x, y + 0.08f * s, x + 0.45f * s, y + 0.3f * s, Rgb(0xE0A820));
            p.FillRect(x, y + 0.2f * s, x + s, y + s, Rgb(0xF6CA42));
            break;
        case DesktopIcon::kDocument:
            p.FillRect(x + 0.1f * s + shadow, y + shadow, x + 0.9f * s + shadow, y + s + shadow,
                       kIconShadow);
            p.FillRect(x + 0.1f * s, y, x + 0.9f * s, y + s, Rgb(0xFFFFFF));
            for (int line = 0; line < 4; ++line) {
                const float top = y + (0.2f + 0.18f * line) * s;
                p.FillRect(x + 0.22f * s, top, x + 0.78f * s, top + 0.07f * s, Rgb(0x3A66B0));
            }
            break;
        case DesktopIcon::kBin:
            p.FillRect(x + 0.15f * s + shadow, y + 0.1f * s + shadow, x + 0.85f * s + shadow,
                       y + s + shadow, kIconShadow);
            p.FillRect(x + 0.1f * s, y + 0.08f * s, x + 0.9f * s, y + 0.2f * s, Rgb(0x9AA0A8));
            p.FillRect(x + 0.18f * s, y + 0.2f * s, x + 0.82f * s, y + s, Rgb(0xC4CAD2));
            p.FillRect(x + 0.3f * s, y + 0.3f * s, x + 0.38f * s, y + 0.9f * s, Rgb(0x8A9098));
            p.FillRect(x + 0.62f * s, y + 0.3f * s, x + 0.7f * s, y + 0.9f * s, Rgb(0x8A9098));
            break;
    }
    if (labelled) {
        p.FillRect(x - 0.15f * s, y + 1.15f * s, x + 1.15f * s, y + 1.35f * s, kLabel);
    }
}

Raster DrawDesktop(int width, int height) {
    Raster p(width, height);
    DrawLandscape(p);
    constexpr DesktopIcon kColumn[] = {DesktopIcon::kComputer, DesktopIcon::kFolder,
                                       DesktopIcon::kDocument, DesktopIcon::kBin};
    const float side = 0.12f * static_cast<float>(height);
    float y = 0.5f * side;
    for (DesktopIcon icon : kColumn) {
        DrawDesktopIcon(p, icon, 0.35f * side, y, side, true);
        y += 2.0f * side;
    }
    return p;
}

}  // namespace merovan::pictures

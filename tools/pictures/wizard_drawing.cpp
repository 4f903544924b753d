#include "tools/pictures/wizard_drawing.h"

#include "tools/pictures/icon_drawing.h"

namespace merovan::pictures {
namespace {

constexpr Colour kSideTop = Rgb(0x0B1A3A);
constexpr Colour kSideBottom = Rgb(0x23579E);
constexpr Colour kGlow{0.45f, 0.68f, 1.0f, 0.07f};
constexpr int kGlowRings = 8;
constexpr float kGlowRadiusPx = 84.0f;
constexpr int kSideRibbonSide = 144;
constexpr int kSideRibbonTop = 44;
constexpr int kHeaderRibbonSide = 48;
constexpr int kHeaderMarginPx = 5;

void Overlay(Raster& target, const Raster& picture, int left, int top) {
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            target.Blend(left + x, top + y, picture.At(x, y));
        }
    }
}

}  // namespace

Raster DrawWizardSide() {
    Raster side(kWizardSideWidth, kWizardSideHeight);
    side.FillVerticalGradient(0.0f, 0.0f, kWizardSideWidth, kWizardSideHeight, kSideTop,
                              kSideBottom);
    const float centreX = kWizardSideWidth / 2.0f;
    const float centreY = kSideRibbonTop + kSideRibbonSide / 2.0f;
    // Rings of faint light one inside the other: brightest at the middle, fading outwards.
    for (int ring = 0; ring < kGlowRings; ++ring) {
        const float radius = kGlowRadiusPx * (kGlowRings - ring) / kGlowRings;
        side.FillEllipse(centreX, centreY, radius, radius, kGlow);
    }
    Overlay(side, DrawProgramIcon(kSideRibbonSide), (kWizardSideWidth - kSideRibbonSide) / 2,
            kSideRibbonTop);
    return side;
}

Raster DrawWizardHeader() {
    Raster header(kWizardHeaderWidth, kWizardHeaderHeight, Rgb(0xFFFFFF));
    Overlay(header, DrawProgramIcon(kHeaderRibbonSide),
            kWizardHeaderWidth - kHeaderRibbonSide - kHeaderMarginPx,
            (kWizardHeaderHeight - kHeaderRibbonSide) / 2);
    return header;
}

}  // namespace merovan::pictures

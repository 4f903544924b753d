// Drawing the push button's face on a plain pixel surface: the vertical two-colour
// gradient and the 4-pixel frame cut from a 64 × 25 face picture, corners unscaled and
// edges stretched along their length; and where the caption stands on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/bitmap_rows.h"

namespace controls {

// A picture in memory as a top-down 24-bit device-independent bitmap holds it: three bytes
// a pixel in blue-green-red order, each row padded to four bytes.
struct Pixels {
    int width = 0;
    int height = 0;
    size_t stride = 0;
    std::vector<uint8_t> bgr;

    Pixels() = default;
    Pixels(int w, int h)
        : width(w), height(h), stride(merovan::BitmapRowBytes(w, 24)), bgr(stride * h, 0) {}
    uint8_t* At(int x, int y) { return &bgr[y * stride + x * 3]; }
    const uint8_t* At(int x, int y) const { return &bgr[y * stride + x * 3]; }
};

// The gradient's ends, as COLORREF values (0x00BBGGRR).
constexpr uint32_t kLightColour = 0x00FFFFFF;  // white
constexpr uint32_t kShadeColour = 0x00D7C5C6;  // RGB(0xC6, 0xC5, 0xD7), a light lavender grey

constexpr int kFacePictureWidth = 64;
constexpr int kFacePictureHeight = 25;
constexpr int kFrameWidthPixels = 4;

// Fills `surface` top to bottom from one end colour to the other: light at the top, or the
// shade at the top when `shadeOnTop`. Top and bottom rows take the end colours exactly.
void PaintGradient(Pixels& surface, bool shadeOnTop);

// Copies the eight frame pieces of the 64 × 25 `face` onto `surface`. Pieces that would get
// no size on a very small surface are left out.
void PaintFrame(Pixels& surface, const Pixels& face);

// The rows of the caption's line in a button `height` pixels high, on a screen of `dpi`
// dots per inch.
struct CaptionRows {
    int top, bottom;
};
CaptionRows CaptionPlace(int height, int dpi);

}  // namespace controls

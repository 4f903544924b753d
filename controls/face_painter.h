// Drawing the push button's face on a plain pixel surface: the vertical two-colour
// gradient and the 4-pixel frame cut from a 64 × 25 face picture, corners unscaled and
// edges stretched along their length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace controls {

// A picture in memory: rows top first, three bytes a pixel in blue-green-red order.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;

    Pixels() = default;
    Pixels(int w, int h) : width(w), height(h), bgr(static_cast<size_t>(w) * h * 3, 0) {}
    uint8_t* At(int x, int y) { return &bgr[(static_cast<size_t>(y) * width + x) * 3]; }
    const uint8_t* At(int x, int y) const { return &bgr[(static_cast<size_t>(y) * width + x) * 3]; }
    uint32_t Rgb(int x, int y) const {
        const uint8_t* p = At(x, y);
        return (static_cast<uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
    }
};

// The gradient's ends as the button has always written them, hexadecimal RGB.
constexpr char kLightColour[] = "&HFFFFFF";
constexpr char kShadeColour[] = "&HC6C5D7";

constexpr int kFacePictureWidth = 64;
constexpr int kFacePictureHeight = 25;
constexpr int kFrameWidthPixels = 4;

// The 0xRRGGBB value of a "&H" colour text.
uint32_t ColourFromText(const char* text);

// Fills `surface` top to bottom from one end colour to the other: light at the top, or the
// shade at the top when `reverse`. Top and bottom rows take the end colours exactly.
void PaintGradient(Pixels& surface, bool reverse);

// Copies the eight frame pieces of the 64 × 25 `face` onto `surface`. Pieces that would get
// no size on a very small surface are left out.
void PaintFrame(Pixels& surface, const Pixels& face);

// Top of the caption label in twips: centred in the button's height, 20 twips higher.
double CaptionTopTwips(int heightTwips, int labelHeightTwips);

}  // namespace controls

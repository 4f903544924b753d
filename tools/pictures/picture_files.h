// Writers for the Windows picture files the programs embed as resources: bitmaps, icons
// and cursors, byte for byte the same on every run.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/pictures/raster.h"

namespace merovan::pictures {

// Uncompressed 24-bit bitmap, bottom row first, alpha ignored.
std::vector<uint8_t> EncodeBmp24(const Raster& picture);

// A PNG file of the picture: 8-bit red, green, blue and alpha, compressed.
std::vector<uint8_t> EncodePng(const Raster& picture);

// How one image of an icon or cursor stores its colours. Every depth but the PNG one also
// carries the one-bit AND mask, set where the picture is less than half opaque.
enum class IconDepth : uint16_t {
    kMonochrome = 1,  // black and white by brightness
    kPalette256 = 8,  // up to 255 colours chosen from the picture, plus black
    kAlpha32 = 32,    // blue, green, red and alpha
    kPng = 0x100,     // a whole PNG file, as Windows takes the 256-pixel image of an icon
};

struct IconImage {
    Raster picture;  // square, 1 … 256 pixels a side
    IconDepth depth;
};

// An .ico file holding the images in the order given.
std::vector<uint8_t> EncodeIco(const std::vector<IconImage>& images);

struct CursorImage {
    Raster picture;
    IconDepth depth;
    int hotSpotX, hotSpotY;  // pixels from the top-left corner
};

// A .cur file with one image.
std::vector<uint8_t> EncodeCur(const CursorImage& cursor);

}  // namespace merovan::pictures

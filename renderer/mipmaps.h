// Turns a picture into the levels of a mipmapped texture, on any thread and without OpenGL:
// sides scaled to powers of two as GLU chooses them, then each level half the one before.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "renderer/bmp_reader.h"

namespace merovan {

// One level: blue-green-red rows padded to four bytes, bottom row first, as in the files.
struct PictureLevel {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

// The power of two GLU gives a side: the nearer one, where a side of one and a half times a
// power of two or more goes up (768 → 1024, 1920 → 2048, 1080 → 1024, 93 → 64).
int32_t TextureSide(int32_t side);

// Every level from the powers of two of `picture`'s sides (each at most `maxSide`) down to
// 1 × 1: the first scaled with an area-weighted box filter (each pixel the mean of the area
// it covers, or when enlarging, of the one-pixel box around the point it maps to), each next
// one by halving. Empty when `cancelled` is set before it is done.
std::vector<PictureLevel> BuildMipLevels(const BmpPicture& picture, int32_t maxSide,
                                         const std::atomic<bool>& cancelled);

// True when every pixel of `picture` is black (the padding is not looked at).
bool IsAllBlack(const BmpPicture& picture);

// The part of `picture` of `width` columns from column `x` and `rows` stored rows from
// stored row `firstRow` (rows counted in the order they are held, bottom row of the file
// first), clamped to the picture. Empty when nothing of it lies inside.
BmpPicture CropPicture(const BmpPicture& picture, int32_t x, int32_t firstRow, int32_t width,
                       int32_t rows);

}  // namespace merovan

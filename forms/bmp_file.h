// Writes pictures as uncompressed 24-bit bottom-up Windows bitmap files: the 14-byte file
// header, a 40-byte BITMAPINFOHEADER, no colour table, and from byte 54 on the rows,
// bottom row first, blue-green-red, each padded with zero bytes to a multiple of four.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace forms {

constexpr uint32_t kBmpHeaderBytes = 54;

// `rows` holds `height` rows of `width` blue-green-red pixels, bottom row first, each row
// `stride` bytes apart (any padding in them is not copied).
std::vector<uint8_t> EncodeBmp24(int32_t width, int32_t height, const uint8_t* rows, size_t stride);

}  // namespace forms

// How an uncompressed Windows bitmap lays out its rows: each padded to a multiple of four
// bytes. Device-independent bitmaps in memory and bitmap files share the rule.
#pragma once

#include <cstddef>
#include <cstdint>

namespace merovan {

constexpr size_t BitmapRowBytes(int32_t width, int32_t bitsPerPixel) {
    return (static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32 * 4;
}

}  // namespace merovan

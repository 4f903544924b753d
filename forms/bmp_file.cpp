#include "forms/bmp_file.h"

#include <cstring>

#include "common/bitmap_rows.h"

namespace forms {
namespace {

void PutU16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = (v >> (8 * i)) & 0xFF;
}

constexpr uint32_t kPixelsPerMetre96Dpi = 3780;

}  // namespace

std::vector<uint8_t> EncodeBmp24(int32_t width, int32_t height, const uint8_t* rows,
                                 size_t stride) {
    const size_t rowBytes = merovan::BitmapRowBytes(width, 24);
    const size_t pixelBytes = rowBytes * static_cast<size_t>(height);
    std::vector<uint8_t> file(kBmpHeaderBytes + pixelBytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutU32(file, 2, static_cast<uint32_t>(file.size()));
    PutU32(file, 10, kBmpHeaderBytes);
    PutU32(file, 14, 40);
    PutU32(file, 18, static_cast<uint32_t>(width));
    PutU32(file, 22, static_cast<uint32_t>(height));  // positive: bottom-up
    PutU16(file, 26, 1);
    PutU16(file, 28, 24);
    PutU32(file, 30, 0);  // BI_RGB
    PutU32(file, 34, static_cast<uint32_t>(pixelBytes));
    PutU32(file, 38, kPixelsPerMetre96Dpi);
    PutU32(file, 42, kPixelsPerMetre96Dpi);
    for (int32_t y = 0; y < height; ++y) {
        std::memcpy(&file[kBmpHeaderBytes + y * rowBytes], rows + y * stride,
                    static_cast<size_t>(width) * 3);
    }
    return file;
}

}  // namespace forms

// Bitmap files built in memory for tests, with every header field open to tampering.
#pragma once

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "renderer/bmp_reader.h"

namespace merovan::testing {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct BmpSpec {
    int32_t width = 4;
    int32_t height = 3;  // negative: top-down
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t gapBytes = 0;  // bytes between the 40-byte header and the pixels
    // Colour of the picture's pixel (x, y), y counted from the top row.
    std::function<Rgb(int x, int y)> colour = [](int, int) { return Rgb{0, 0, 0}; };
};

inline void PutU16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = v >> 8;
}

inline void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A complete file; rows are written in the order the sign of the height says.
inline std::vector<uint8_t> MakeBmp(const BmpSpec& spec) {
    const uint32_t rows = spec.height < 0 ? -spec.height : spec.height;
    const uint32_t rowBytes = (spec.width * 3 + 3) / 4 * 4;
    const uint32_t offset = 14 + 40 + spec.gapBytes;
    std::vector<uint8_t> b(offset + static_cast<size_t>(rowBytes) * rows, 0);
    b[0] = 'B';
    b[1] = 'M';
    PutU32(b, 2, static_cast<uint32_t>(b.size()));
    PutU32(b, 10, offset);
    PutU32(b, 14, 40);
    PutU32(b, 18, static_cast<uint32_t>(spec.width));
    PutU32(b, 22, static_cast<uint32_t>(spec.height));
    PutU16(b, 26, 1);
    PutU16(b, 28, spec.bitCount);
    PutU32(b, 30, spec.compression);
    PutU32(b, 34, spec.sizeImage);
    for (uint32_t stored = 0; stored < rows; ++stored) {
        const int y =
            spec.height < 0 ? static_cast<int>(stored) : static_cast<int>(rows - 1 - stored);
        for (int x = 0; x < spec.width; ++x) {
            const Rgb c = spec.colour(x, y);
            uint8_t* p = &b[offset + stored * rowBytes + x * 3];
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
    return b;
}

// Serves bytes from memory and counts what was taken.
class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    size_t Read(void* buffer, size_t count) override {
        const size_t n = std::min(count, bytes_.size() - position_);
        if (n != 0)
            std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return n;
    }
    uint64_t Size() const override { return bytes_.size(); }
    size_t Position() const { return position_; }

  private:
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};

}  // namespace merovan::testing

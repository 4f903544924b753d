#include "renderer/bmp_reader.h"

#include <algorithm>
#include <new>

#include "common/bitmap_rows.h"

namespace merovan {
namespace {

uint16_t U16At(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t U32At(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t I32At(const uint8_t* p) {
    return static_cast<int32_t>(U32At(p));
}

// Reads in pieces, filling the buffer as it goes: a picture can be hundreds of megabytes,
// and touching all of it before reading would double the time and could not be stopped.
bool ReadExactly(ByteSource& source, std::vector<uint8_t>& into, uint64_t count) {
    constexpr size_t kPieceBytes = size_t{8} << 20;
    try {
        into.clear();
        into.reserve(static_cast<size_t>(count));
        while (into.size() < count) {
            const size_t at = into.size();
            const size_t piece = static_cast<size_t>(std::min<uint64_t>(kPieceBytes, count - at));
            into.resize(at + piece);
            if (source.Read(into.data() + at, piece) != piece) {
                return false;
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr uint32_t kBiRgb = 0;
constexpr size_t kBmpFileHeaderBytes = 14;
constexpr size_t kBmpInfoFieldsBytes = 24;  // biSize … biSizeImage: the fields the reader takes
constexpr int32_t kBmpMaxSide = 16384;

}  // namespace

BmpStatus ReadBmp(ByteSource& source, BmpPicture& picture) {
    picture = BmpPicture{};
    const uint64_t fileSize = source.Size();

    uint8_t fileHeader[kBmpFileHeaderBytes];
    if (source.Read(fileHeader, sizeof fileHeader) != sizeof fileHeader) {
        return BmpStatus::kShortFileHeader;
    }
    if (U16At(fileHeader) != kBmpMagic) {
        return BmpStatus::kNotBitmap;
    }

    // Everything between the file header and the pixels is the information block; colour
    // tables, masks and gaps after the fields we take are read and skipped.
    const uint32_t pixelOffset = U32At(fileHeader + 10);
    if (pixelOffset < kBmpFileHeaderBytes + kBmpInfoFieldsBytes || pixelOffset > fileSize) {
        return BmpStatus::kBadInfoBlock;
    }
    std::vector<uint8_t> info;
    if (!ReadExactly(source, info, pixelOffset - kBmpFileHeaderBytes)) {
        return BmpStatus::kBadInfoBlock;
    }

    const int32_t width = I32At(info.data() + 4);
    const int32_t height = I32At(info.data() + 8);
    const uint16_t bitCount = U16At(info.data() + 14);
    const uint32_t compression = U32At(info.data() + 16);
    const uint32_t sizeImage = U32At(info.data() + 20);

    if (bitCount != 24 || compression != kBiRgb) {
        return BmpStatus::kUnsupported;
    }
    // |INT32_MIN| does not fit an int32_t; compare in 64 bits.
    const int64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    if (width <= 0 || rows == 0 || width > kBmpMaxSide || rows > kBmpMaxSide) {
        return BmpStatus::kBadDimensions;
    }

    const uint64_t rowBytes = BitmapRowBytes(width, 24);
    const uint64_t needed = rowBytes * static_cast<uint64_t>(rows);
    const uint64_t announced = sizeImage != 0 ? sizeImage : needed;
    if (announced < needed || announced > fileSize - pixelOffset) {
        return BmpStatus::kShortPixels;
    }
    std::vector<uint8_t> block;
    if (!ReadExactly(source, block, announced)) {
        return BmpStatus::kShortPixels;
    }
    block.resize(static_cast<size_t>(needed));

    if (height < 0) {
        // A top-down file stores its top row first; the texture wants the bottom row first.
        const size_t stride = static_cast<size_t>(rowBytes);
        for (size_t top = 0, bottom = static_cast<size_t>(rows) - 1; top < bottom;
             ++top, --bottom) {
            std::swap_ranges(block.begin() + top * stride, block.begin() + (top + 1) * stride,
                             block.begin() + bottom * stride);
        }
    }

    picture.width = width;
    picture.height = static_cast<int32_t>(rows);
    picture.pixels = std::move(block);
    return BmpStatus::kOk;
}

}  // namespace merovan

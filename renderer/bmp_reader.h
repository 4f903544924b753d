// Reads the snapshot pictures: uncompressed 24-bit Windows bitmaps.
//
// The reader trusts nothing in the file: every size is checked against the bytes that
// were actually read, so a broken or hostile file is refused instead of being read past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace merovan {

// Where the bytes of a bitmap come from: a file on either host, or memory in tests.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads up to `count` bytes into `buffer`; returns how many arrived.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Total size of the source in bytes.
    virtual uint64_t Size() const = 0;
};

enum class BmpStatus {
    kOk,
    kShortFileHeader,  // fewer than 14 bytes
    kNotBitmap,        // does not start with "BM"
    kBadInfoBlock,     // information block missing, short or larger than the file
    kUnsupported,      // not 24 bits per pixel, or compressed
    kBadDimensions,    // zero or absurd width or height
    kShortPixels,      // pixel block smaller than its rows, or larger than the file
};

struct BmpPicture {
    int32_t width = 0;
    int32_t height = 0;
    // `height` rows of 24-bit blue-green-red pixels, each padded to a multiple of four bytes,
    // the bottom row of the picture first (top-down files are turned round while reading).
    std::vector<uint8_t> pixels;
};

// Reads one bitmap from the current position of `source`. On success `picture` holds the
// pixels in bottom-up order; on failure it is left empty.
BmpStatus ReadBmp(ByteSource& source, BmpPicture& picture);

}  // namespace merovan

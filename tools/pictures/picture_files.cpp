#include "tools/pictures/picture_files.h"

#include <zlib.h>

#include <stdexcept>

#include "tools/pictures/palette.h"

namespace merovan::pictures {
namespace {

constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;
constexpr uint32_t kIconDirBytes = 6;
constexpr uint32_t kIconDirEntryBytes = 16;
// Below this alpha a pixel is left out by the AND mask.
constexpr float kMaskAlpha = 0.5f;

class ByteWriter {
  public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void U8(uint8_t v) { out_.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void Pad(size_t rowStart, size_t rowBytes) {
        while (out_.size() - rowStart < rowBytes) {
            U8(0);
        }
    }

  private:
    std::vector<uint8_t>& out_;
};

uint32_t RowBytes(uint32_t bitCount, uint32_t width) {
    return (bitCount * width + 31) / 32 * 4;
}

void WriteInfoHeader(ByteWriter& w, int width, int storedHeight, uint16_t bitCount,
                     uint32_t imageBytes) {
    w.U32(kInfoHeaderBytes);
    w.U32(static_cast<uint32_t>(width));
    w.U32(static_cast<uint32_t>(storedHeight));
    w.U16(1);  // planes
    w.U16(bitCount);
    w.U32(0);  // BI_RGB
    w.U32(imageBytes);
    w.U32(0);  // pixels per metre, x and y: unknown
    w.U32(0);
    w.U32(0);  // colours used: all the bit count allows
    w.U32(0);  // all colours important
}

Rgb8 Opaque(Colour c) {
    return Rgb8{ToByte(c.r), ToByte(c.g), ToByte(c.b)};
}

bool Shown(const Raster& picture, int x, int y) {
    return picture.At(x, y).a >= kMaskAlpha;
}

// The colour table and each pixel's index into it, for the 1- and 8-bit depths.
struct Indexed {
    std::vector<Rgb8> table;
    std::vector<uint8_t> index;  // top row first
};

Indexed IndexColours(const Raster& picture, IconDepth depth) {
    Indexed result;
    std::vector<Rgb8> shown;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (Shown(picture, x, y)) {
                shown.push_back(Opaque(picture.At(x, y)));
            }
        }
    }
    // Entry 0 is black: hidden pixels point at it, so the XOR image leaves the screen as it is.
    result.table.push_back(Rgb8{0, 0, 0});
    if (depth == IconDepth::kMonochrome) {
        result.table.push_back(Rgb8{255, 255, 255});
    } else {
        for (const Rgb8& c : ChoosePalette(shown, 255)) {
            result.table.push_back(c);
        }
    }
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const Rgb8 c = Opaque(picture.At(x, y));
            size_t i = 0;
            if (Shown(picture, x, y)) {
                i = depth == IconDepth::kMonochrome ? (c.r + c.g + c.b >= 3 * 128 ? 1 : 0)
                                                    : NearestEntry(result.table, c);
            }
            result.index.push_back(static_cast<uint8_t>(i));
        }
    }
    result.table.resize(size_t{1} << static_cast<uint16_t>(depth), Rgb8{0, 0, 0});
    return result;
}

// BITMAPINFOHEADER with the doubled height, colour table, XOR image and AND mask.
std::vector<uint8_t> EncodeIconImage(const Raster& picture, IconDepth depth) {
    const int w = picture.Width(), h = picture.Height();
    const uint16_t bitCount = static_cast<uint16_t>(depth);
    const uint32_t xorRow = RowBytes(bitCount, w), andRow = RowBytes(1, w);
    std::vector<uint8_t> out;
    ByteWriter writer(out);
    WriteInfoHeader(writer, w, 2 * h, bitCount, (xorRow + andRow) * h);

    Indexed indexed;
    if (depth != IconDepth::kAlpha32) {
        indexed = IndexColours(picture, depth);
        for (const Rgb8& c : indexed.table) {
            writer.U8(c.b);
            writer.U8(c.g);
            writer.U8(c.r);
            writer.U8(0);
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        uint8_t bits = 0;
        for (int x = 0; x < w; ++x) {
            if (depth == IconDepth::kAlpha32) {
                const Colour c = picture.At(x, y);
                writer.U8(ToByte(c.b));
                writer.U8(ToByte(c.g));
                writer.U8(ToByte(c.r));
                writer.U8(ToByte(c.a));
            } else if (depth == IconDepth::kPalette256) {
                writer.U8(indexed.index[static_cast<size_t>(y) * w + x]);
            } else {
                bits =
                    static_cast<uint8_t>(bits << 1 | indexed.index[static_cast<size_t>(y) * w + x]);
                if (x % 8 == 7 || x == w - 1) {
                    writer.U8(static_cast<uint8_t>(bits << (7 - x % 8)));
                    bits = 0;
                }
            }
        }
        writer.Pad(rowStart, xorRow);
    }
    for (int y = h - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        uint8_t bits = 0;
        for (int x = 0; x < w; ++x) {
            bits = static_cast<uint8_t>(bits << 1 | (Shown(picture, x, y) ? 0 : 1));
            if (x % 8 == 7 || x == w - 1) {
                writer.U8(static_cast<uint8_t>(bits << (7 - x % 8)));
                bits = 0;
            }
        }
        writer.Pad(rowStart, andRow);
    }
    return out;
}

// A PNG chunk: length, type, data and the CRC of type and data, the numbers big-endian.
void AppendPngChunk(std::vector<uint8_t>& out, const char (&type)[5],
                    const std::vector<uint8_t>& data) {
    const auto bigEndian = [&out](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<uint8_t>(v >> shift));
        }
    };
    bigEndian(static_cast<uint32_t>(data.size()));
    const size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    bigEndian(static_cast<uint32_t>(
        crc32(0L, &out[typeStart], static_cast<uInt>(out.size() - typeStart))));
}

struct DirectoryEntry {
    const Raster* picture;
    IconDepth depth;
    uint16_t planesOrHotSpotX;
    uint16_t bitCountOrHotSpotY;
};

std::vector<uint8_t> EncodeIconFile(uint16_t type, const std::vector<DirectoryEntry>& entries) {
    std::vector<std::vector<uint8_t>> images;
    for (const DirectoryEntry& entry : entries) {
        images.push_back(entry.depth == IconDepth::kPng
                             ? EncodePng(*entry.picture)
                             : EncodeIconImage(*entry.picture, entry.depth));
    }
    std::vector<uint8_t> out;
    ByteWriter writer(out);
    writer.U16(0);
    writer.U16(type);
    writer.U16(static_cast<uint16_t>(entries.size()));
    uint32_t offset = kIconDirBytes + kIconDirEntryBytes * static_cast<uint32_t>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Raster& picture = *entries[i].picture;
        // A side of 256 is written as 0.
        writer.U8(static_cast<uint8_t>(picture.Width()));
        writer.U8(static_cast<uint8_t>(picture.Height()));
        // Colour count: only below 256 colours is it given.
        writer.U8(entries[i].depth == IconDepth::kMonochrome ? 2 : 0);
        writer.U8(0);
        writer.U16(entries[i].planesOrHotSpotX);
        writer.U16(entries[i].bitCountOrHotSpotY);
        writer.U32(static_cast<uint32_t>(images[i].size()));
        writer.U32(offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const std::vector<uint8_t>& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const Raster& picture) {
    const int w = picture.Width(), h = picture.Height();
    const uint32_t rowBytes = RowBytes(24, w);
    const uint32_t pixelOffset = kFileHeaderBytes + kInfoHeaderBytes;
    std::vector<uint8_t> out;
    ByteWriter writer(out);
    writer.U8('B');
    writer.U8('M');
    writer.U32(pixelOffset + rowBytes * h);
    writer.U32(0);  // reserved
    writer.U32(pixelOffset);
    WriteInfoHeader(writer, w, h, 24, rowBytes * h);
    for (int y = h - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < w; ++x) {
            const Colour c = picture.At(x, y);
            writer.U8(ToByte(c.b));
            writer.U8(ToByte(c.g));
            writer.U8(ToByte(c.r));
        }
        writer.Pad(rowStart, rowBytes);
    }
    return out;
}

std::vector<uint8_t> EncodePng(const Raster& picture) {
    const uint32_t w = static_cast<uint32_t>(picture.Width());
    const uint32_t h = static_cast<uint32_t>(picture.Height());
    // Each row starts with its filter, none.
    std::vector<uint8_t> rows;
    for (int y = 0; y < picture.Height(); ++y) {
        rows.push_back(0);
        for (int x = 0; x < picture.Width(); ++x) {
            const Colour c = picture.At(x, y);
            for (float channel : {c.r, c.g, c.b, c.a}) {
                rows.push_back(ToByte(channel));
            }
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib cannot compress the PNG's rows");
    }
    packed.resize(packedSize);

    std::vector<uint8_t> header;
    for (uint32_t v : {w, h}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(static_cast<uint8_t>(v >> shift));
        }
    }
    // 8 bits a channel, red-green-blue-alpha, deflate, filtered rows, not interlaced.
    header.insert(header.end(), {8, 6, 0, 0, 0});
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AppendPngChunk(out, "IHDR", header);
    AppendPngChunk(out, "IDAT", packed);
    AppendPngChunk(out, "IEND", {});
    return out;
}

std::vector<uint8_t> EncodeIco(const std::vector<IconImage>& images) {
    std::vector<DirectoryEntry> entries;
    for (const IconImage& image : images) {
        // A PNG image's entry gives the 32 bits of its pixels.
        const uint16_t bitCount = image.depth == IconDepth::kPng
                                      ? static_cast<uint16_t>(IconDepth::kAlpha32)
                                      : static_cast<uint16_t>(image.depth);
        entries.push_back({&image.picture, image.depth, 1, bitCount});
    }
    return EncodeIconFile(kIconType, entries);
}

std::vector<uint8_t> EncodeCur(const CursorImage& cursor) {
    return EncodeIconFile(kCursorType,
                          {{&cursor.picture, cursor.depth, static_cast<uint16_t>(cursor.hotSpotX),
                            static_cast<uint16_t>(cursor.hotSpotY)}});
}

}  // namespace merovan::pictures

// The committed pictures are what the generator draws now, and are files Windows takes: an
// icon with its three sizes, two 152 x 112 previews. Also the generator's own writers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "renderer/bmp_reader.h"
#include "tests/support/test_bitmaps.h"
#include "tools/pictures/palette.h"
#include "tools/pictures/picture_catalogue.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/raster.h"

namespace merovan::pictures {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadCommitted(const std::string& name) {
    std::ifstream in(std::filesystem::path(MEROVAN_PICTURES_DIR) / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint16_t U16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b.at(at) | b.at(at + 1) << 8);
}
uint32_t U32(const Bytes& b, size_t at) {
    return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16;
}

uint32_t RowBytes(uint32_t bitCount, uint32_t width) {
    return (bitCount * width + 31) / 32 * 4;
}

// One image of an .ico or .cur file, as its directory entry and bitmap header describe it.
struct IconImageView {
    const Bytes* file;
    int side;
    uint8_t colourCount;
    uint16_t planesOrHotX, bitCountOrHotY;
    uint32_t bytes, offset;

    uint32_t Header(size_t field) const { return U32(*file, offset + field); }
    uint16_t BitCount() const { return U16(*file, offset + 14); }
    size_t PaletteBytes() const { return BitCount() <= 8 ? (size_t{4} << BitCount()) : 0; }
    size_t XorStart() const { return offset + 40 + PaletteBytes(); }
    size_t AndStart() const { return XorStart() + RowBytes(BitCount(), side) * side; }
    // Set where the image leaves the screen alone; y counted from the top row.
    bool Masked(int x, int y) const {
        const size_t row = AndStart() + RowBytes(1, side) * (side - 1 - y);
        return (file->at(row + x / 8) >> (7 - x % 8)) & 1;
    }
    uint8_t XorByte(int x, int y, int byteOfPixel) const {
        const size_t row = XorStart() + RowBytes(BitCount(), side) * (side - 1 - y);
        return file->at(row + x * BitCount() / 8 + byteOfPixel);
    }
};

std::vector<IconImageView> ReadIconDirectory(const Bytes& file, uint16_t type) {
    EXPECT_EQ(U16(file, 0), 0);
    EXPECT_EQ(U16(file, 2), type);
    std::vector<IconImageView> images;
    for (size_t i = 0; i < U16(file, 4); ++i) {
        const size_t e = 6 + 16 * i;
        images.push_back({&file, file.at(e) == 0 ? 256 : file.at(e), file.at(e + 2),
                          U16(file, e + 4), U16(file, e + 6), U32(file, e + 8), U32(file, e + 12)});
        EXPECT_EQ(file.at(e), file.at(e + 1)) << "square";
        EXPECT_EQ(file.at(e + 3), 0) << "reserved";
    }
    return images;
}

// The BITMAPINFOHEADER of an icon image: doubled height, sizes adding up to the entry's.
void ExpectSoundImage(const IconImageView& image, uint16_t bitCount) {
    ASSERT_LE(size_t{image.offset} + image.bytes, image.file->size());
    EXPECT_EQ(image.Header(0), 40u);
    EXPECT_EQ(image.Header(4), static_cast<uint32_t>(image.side));
    EXPECT_EQ(image.Header(8), static_cast<uint32_t>(2 * image.side));
    EXPECT_EQ(U16(*image.file, image.offset + 12), 1) << "planes";
    EXPECT_EQ(image.BitCount(), bitCount);
    EXPECT_EQ(image.Header(16), 0u) << "uncompressed";
    const uint32_t pixelBytes =
        (RowBytes(bitCount, image.side) + RowBytes(1, image.side)) * image.side;
    EXPECT_EQ(image.Header(20), pixelBytes);
    EXPECT_EQ(image.bytes, 40 + image.PaletteBytes() + pixelBytes);
}

TEST(CommittedPictures, AreWhatTheGeneratorDrawsNow) {
    for (const PictureFile& picture : PictureCatalogue()) {
        SCOPED_TRACE(picture.name);
        const Bytes committed = ReadCommitted(picture.name);
        ASSERT_FALSE(committed.empty()) << "missing: run tools/make-pictures";
        EXPECT_TRUE(committed == picture.make()) << "stale: run tools/make-pictures and commit";
    }
}

TEST(ProgramIcon, HoldsSixteenThirtyTwoAndFortyEightPixelImages) {
    const Bytes file = ReadCommitted("merovan.ico");
    const std::vector<IconImageView> images = ReadIconDirectory(file, 1);
    struct Row {
        int side;
        uint16_t bitCount;
    };
    // The 32-pixel image is the 256-colour one.
    const Row expected[] = {{16, 32}, {32, 8}, {48, 32}};
    ASSERT_EQ(images.size(), std::size(expected));
    uint32_t nextOffset = 6 + 16 * 3;
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(expected[i].side);
        EXPECT_EQ(images[i].side, expected[i].side);
        EXPECT_EQ(images[i].colourCount, 0);
        EXPECT_EQ(images[i].planesOrHotX, 1);
        EXPECT_EQ(images[i].bitCountOrHotY, expected[i].bitCount);
        EXPECT_EQ(images[i].offset, nextOffset) << "images packed in order";
        nextOffset += images[i].bytes;
        ExpectSoundImage(images[i], expected[i].bitCount);
    }
    EXPECT_EQ(nextOffset, file.size());
}

TEST(ProgramIcon, MaskShowsTheBandAndHidesTheOtherCorners) {
    const Bytes file = ReadCommitted("merovan.ico");
    for (const IconImageView& image : ReadIconDirectory(file, 1)) {
        SCOPED_TRACE(image.side);
        const int s = image.side;
        // The band runs from the bottom-left to the top-right.
        EXPECT_TRUE(image.Masked(0, 0));
        EXPECT_TRUE(image.Masked(s - 1, s - 1));
        EXPECT_FALSE(image.Masked(s / 4, 3 * s / 4));
        EXPECT_FALSE(image.Masked(3 * s / 4, s / 4));
        for (int y = 0; y < s; ++y) {
            for (int x = 0; x < s; ++x) {
                if (image.BitCount() == 32) {
                    // Older shells draw by the mask, newer ones by alpha: they must agree.
                    EXPECT_EQ(image.Masked(x, y), image.XorByte(x, y, 3) < 128) << x << "," << y;
                } else if (image.Masked(x, y)) {
                    // Hidden pixels are black, or the XOR image would tint the screen.
                    const size_t entry = image.offset + 40 + 4 * image.XorByte(x, y, 0);
                    EXPECT_EQ(U32(file, entry) & 0xFFFFFF, 0u) << x << "," << y;
                }
            }
        }
    }
}

// Bitmap file header and BITMAPINFOHEADER fields, then the reader the renderer uses.
BmpPicture ReadPreview(const std::string& name) {
    const Bytes file = ReadCommitted(name);
    EXPECT_EQ(U16(file, 0), 0x4D42) << "BM";
    EXPECT_EQ(U32(file, 2), file.size());
    EXPECT_EQ(U32(file, 10), 54u);
    EXPECT_EQ(U32(file, 14), 40u);
    EXPECT_EQ(U32(file, 18), 152u);
    EXPECT_EQ(U32(file, 22), 112u) << "bottom-up";
    EXPECT_EQ(U16(file, 28), 24);
    EXPECT_EQ(U32(file, 30), 0u);
    testing::MemorySource source(file);
    BmpPicture picture;
    EXPECT_EQ(ReadBmp(source, picture), BmpStatus::kOk);
    return picture;
}

testing::Rgb PixelOf(const BmpPicture& picture, int x, int y) {
    const uint8_t* p =
        &picture.pixels.at(BmpRowBytes(24, picture.width) * (picture.height - 1 - y) + 3 * x);
    return testing::Rgb{p[2], p[1], p[0]};
}

int Brightness(testing::Rgb c) {
    return (299 * c.r + 587 * c.g + 114 * c.b) / 1000;
}

TEST(Previews, DesktopBandCrossesAWhiteScreen) {
    const BmpPicture picture = ReadPreview("preview_desktop.bmp");
    ASSERT_EQ(picture.width, 152);
    // Away from the band, which runs from the bottom-left to the top-right.
    const testing::Rgb white{255, 255, 255};
    const std::pair<int, int> kOffBand[] = {{0, 0}, {10, 4}, {151, 111}, {140, 100}};
    for (auto [x, y] : kOffBand) {
        EXPECT_EQ(PixelOf(picture, x, y), white) << x << "," << y;
    }
    int sky = 0, grass = 0, whites = 0;
    for (int y = 0; y < 112; ++y) {
        for (int x = 0; x < 152; ++x) {
            const testing::Rgb c = PixelOf(picture, x, y);
            sky += c.b > c.r + 60 && c.b > c.g;
            grass += c.g > c.r + 40 && c.g > c.b + 20;
            whites += c == white;
        }
    }
    const int all = 152 * 112;
    EXPECT_GT(sky, all / 5);
    EXPECT_GT(grass, all / 10);
    EXPECT_GT(whites, all / 5);
    EXPECT_LT(whites, all * 3 / 5);
}

TEST(Previews, BackgroundIsMostlyDarkWithPanelsShowing) {
    const BmpPicture picture = ReadPreview("preview_background.bmp");
    ASSERT_EQ(picture.width, 152);
    int dark = 0, lit = 0, total = 0;
    for (int y = 0; y < 112; ++y) {
        for (int x = 0; x < 152; ++x) {
            const int b = Brightness(PixelOf(picture, x, y));
            dark += b < 16;
            lit += b > 30;
            total += b;
        }
    }
    const int all = 152 * 112;
    EXPECT_LT(total / all, 48);
    EXPECT_GT(dark, all * 3 / 10);
    EXPECT_GT(lit, all / 10);
    EXPECT_TRUE(PixelOf(picture, 0, 0) == (testing::Rgb{0, 0, 0}));
}

// The writers, on small pictures whose every byte is known.
TEST(PictureWriters, BmpRowsArePaddedAndStoredBottomUp) {
    Raster picture(3, 2, Rgb(0x102030));
    picture.Set(0, 0, Rgb(0xFF0000));  // top-left
    picture.Set(2, 1, Rgb(0x0000FF));  // bottom-right
    const Bytes file = EncodeBmp24(picture);
    EXPECT_EQ(file.size(), 54u + 2 * 12);
    testing::MemorySource source(file);
    BmpPicture read;
    ASSERT_EQ(ReadBmp(source, read), BmpStatus::kOk);
    EXPECT_EQ(PixelOf(read, 0, 0), (testing::Rgb{255, 0, 0}));
    EXPECT_EQ(PixelOf(read, 2, 1), (testing::Rgb{0, 0, 255}));
    EXPECT_EQ(PixelOf(read, 1, 0), (testing::Rgb{0x10, 0x20, 0x30}));
}

TEST(PictureWriters, MonochromeCursorKeepsHotSpotBitsAndMask) {
    Raster arrow(32, 32);  // transparent
    arrow.Set(0, 0, Rgb(0x000000));
    arrow.Set(1, 1, Rgb(0xFFFFFF));
    const Bytes file = EncodeCur({arrow, IconDepth::kMonochrome, 3, 5});
    const std::vector<IconImageView> images = ReadIconDirectory(file, 2);
    ASSERT_EQ(images.size(), 1u);
    const IconImageView& image = images[0];
    EXPECT_EQ(image.side, 32);
    EXPECT_EQ(image.colourCount, 2);
    EXPECT_EQ(image.planesOrHotX, 3);
    EXPECT_EQ(image.bitCountOrHotY, 5);
    ExpectSoundImage(image, 1);
    EXPECT_EQ(U32(file, image.offset + 44) & 0xFFFFFF, 0xFFFFFFu) << "entry 1 white";
    // Black: drawn, bit 0. White: drawn, bit 1. Elsewhere: masked, bit 0.
    EXPECT_FALSE(image.Masked(0, 0));
    EXPECT_FALSE(image.Masked(1, 1));
    EXPECT_TRUE(image.Masked(2, 2));
    EXPECT_EQ(image.XorByte(0, 0, 0) & 0x80, 0);
    EXPECT_EQ(image.XorByte(1, 1, 0) & 0x40, 0x40);
    EXPECT_EQ(image.XorByte(2, 2, 0) & 0x20, 0);
}

TEST(PictureWriters, PaletteIsExactForFewColoursAndCloseForMany) {
    const std::vector<Rgb8> few{{1, 2, 3}, {200, 0, 0}, {1, 2, 3}, {0, 0, 255}};
    const std::vector<Rgb8> fewPalette = ChoosePalette(few, 255);
    EXPECT_EQ(fewPalette.size(), 3u);
    for (const Rgb8& c : few) {
        EXPECT_TRUE(fewPalette[NearestEntry(fewPalette, c)] == c);
    }

    std::vector<Rgb8> ramp;  // 4096 colours through the cube
    for (int i = 0; i < 4096; ++i) {
        ramp.push_back(Rgb8{static_cast<uint8_t>((i & 15) * 17),
                            static_cast<uint8_t>((i >> 4 & 15) * 17),
                            static_cast<uint8_t>((i >> 8) * 17)});
    }
    const std::vector<Rgb8> palette = ChoosePalette(ramp, 255);
    EXPECT_EQ(palette.size(), 255u);
    int worst = 0;
    for (const Rgb8& c : ramp) {
        const Rgb8 p = palette[NearestEntry(palette, c)];
        worst = std::max({worst, std::abs(p.r - c.r), std::abs(p.g - c.g), std::abs(p.b - c.b)});
    }
    // Splitting the widest box first leaves no box spanning more than four of the cube's
    // levels (51 apart) on any side, so no colour is more than half that from its entry.
    EXPECT_LE(worst, 26);
}

TEST(RasterShapes, EdgesAreCoveredInProportionAndShrinkingKeepsColour) {
    Raster r(4, 2);
    r.FillRect(0.0f, 0.0f, 2.5f, 2.0f, Rgb(0xFF0000));
    EXPECT_FLOAT_EQ(r.At(1, 0).a, 1.0f);
    EXPECT_FLOAT_EQ(r.At(2, 0).a, 0.5f);
    EXPECT_FLOAT_EQ(r.At(3, 0).a, 0.0f);
    // Transparent neighbours thin the alpha but must not darken the red.
    const Raster small = r.Shrunk(2);
    EXPECT_FLOAT_EQ(small.At(1, 0).a, 0.25f);
    EXPECT_FLOAT_EQ(small.At(1, 0).r, 1.0f);
    EXPECT_FLOAT_EQ(small.At(0, 0).r, 1.0f);
}

}  // namespace
}  // namespace merovan::pictures

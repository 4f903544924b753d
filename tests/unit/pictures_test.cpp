// The committed pictures are what the generator draws now, and are files Windows takes: an
// icon with its five sizes, two 152 x 112 previews, the push buttons' faces, the choice
// marks, the hand cursor and the installer's two pictures. Also the generator's own writers.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "common/bitmap_rows.h"
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

TEST(CommittedPictures, CatalogueHoldsEveryEmbeddedPicture) {
    // The resource scripts name these files; a row dropped from the catalogue would leave
    // its file unchecked and never redrawn.
    const std::vector<std::string> embedded{
        "face_disable.bmp",       "face_highlight.bmp",  "face_normal.bmp",
        "face_pressed.bmp",       "face_selected.bmp",   "hand.cur",
        "mark_off.bmp",           "mark_on.bmp",         "merovan.ico",
        "preview_background.bmp", "preview_desktop.bmp", "wizard_header.bmp",
        "wizard_side.bmp"};
    std::vector<std::string> names;
    for (const PictureFile& picture : PictureCatalogue()) {
        names.push_back(picture.name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, embedded);
}

TEST(CommittedPictures, AreWhatTheGeneratorDrawsNow) {
    for (const PictureFile& picture : PictureCatalogue()) {
        SCOPED_TRACE(picture.name);
        const Bytes committed = ReadCommitted(picture.name);
        ASSERT_FALSE(committed.empty()) << "missing: run tools/make-pictures";
        EXPECT_TRUE(committed == picture.make()) << "stale: run tools/make-pictures and commit";
    }
}

uint32_t BigEndian32(const Bytes& b, size_t at) {
    return static_cast<uint32_t>(b.at(at)) << 24 | b.at(at + 1) << 16 | b.at(at + 2) << 8 |
           b.at(at + 3);
}

// The rows of a PNG image in red-green-blue-alpha as the generator writes it: one IDAT chunk,
// every row unfiltered. Empty when the file is not such a PNG.
Bytes PngRows(const Bytes& file, size_t start, uint32_t side) {
    const Bytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!std::equal(signature.begin(), signature.end(), file.begin() + start)) {
        return {};
    }
    const size_t ihdr = start + 8;
    EXPECT_EQ(BigEndian32(file, ihdr + 8), side);
    EXPECT_EQ(BigEndian32(file, ihdr + 12), side);
    EXPECT_EQ(file.at(ihdr + 16), 8) << "bits a channel";
    EXPECT_EQ(file.at(ihdr + 17), 6) << "red, green, blue and alpha";
    const size_t idat = ihdr + 12 + BigEndian32(file, ihdr);
    EXPECT_EQ(std::string(file.begin() + idat + 4, file.begin() + idat + 8), "IDAT");
    Bytes rows(side * (1 + side * 4));
    uLongf size = rows.size();
    EXPECT_EQ(uncompress(rows.data(), &size, &file.at(idat + 8), BigEndian32(file, idat)), Z_OK);
    EXPECT_EQ(size, rows.size());
    return rows;
}

TEST(ProgramIcon, HoldsFiveSizesTheLargestAsPng) {
    const Bytes file = ReadCommitted("merovan.ico");
    const std::vector<IconImageView> images = ReadIconDirectory(file, 1);
    struct Row {
        int side;
        uint16_t bitCount;
        bool png;
    };
    // The 32-pixel image is the 256-colour one.
    const Row expected[] = {
        {16, 32, false}, {24, 32, false}, {32, 8, false}, {48, 32, false}, {256, 32, true}};
    ASSERT_EQ(images.size(), std::size(expected));
    uint32_t nextOffset = 6 + 16 * std::size(expected);
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(expected[i].side);
        EXPECT_EQ(images[i].side, expected[i].side);
        EXPECT_EQ(images[i].colourCount, 0);
        EXPECT_EQ(images[i].planesOrHotX, 1);
        EXPECT_EQ(images[i].bitCountOrHotY, expected[i].bitCount);
        EXPECT_EQ(images[i].offset, nextOffset) << "images packed in order";
        nextOffset += images[i].bytes;
        if (expected[i].png) {
            const Bytes rows = PngRows(file, images[i].offset, 256);
            ASSERT_FALSE(rows.empty()) << "not a PNG";
            const auto alpha = [&rows](int x, int y) {
                return rows.at(y * (1 + 256 * 4) + 1 + x * 4 + 3);
            };
            // The band runs from the bottom-left to the top-right, on transparency.
            EXPECT_EQ(alpha(0, 0), 0);
            EXPECT_EQ(alpha(255, 255), 0);
            EXPECT_EQ(alpha(64, 192), 255);
            EXPECT_EQ(alpha(192, 64), 255);
        } else {
            ExpectSoundImage(images[i], expected[i].bitCount);
        }
    }
    EXPECT_EQ(nextOffset, file.size());
}

TEST(ProgramIcon, MaskShowsTheBandAndHidesTheOtherCorners) {
    const Bytes file = ReadCommitted("merovan.ico");
    for (const IconImageView& image : ReadIconDirectory(file, 1)) {
        if (image.side == 256) {
            continue;  // the PNG, which has no mask
        }
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
BmpPicture ReadBitmap(const std::string& name, uint32_t width, uint32_t height) {
    SCOPED_TRACE(name);
    const Bytes file = ReadCommitted(name);
    EXPECT_EQ(U16(file, 0), 0x4D42) << "BM";
    EXPECT_EQ(U32(file, 2), file.size());
    EXPECT_EQ(U32(file, 10), 54u);
    EXPECT_EQ(U32(file, 14), 40u);
    EXPECT_EQ(U32(file, 18), width);
    EXPECT_EQ(U32(file, 22), height) << "bottom-up";
    EXPECT_EQ(U16(file, 28), 24);
    EXPECT_EQ(U32(file, 30), 0u);
    testing::MemorySource source(file);
    BmpPicture picture;
    EXPECT_EQ(ReadBmp(source, picture), BmpStatus::kOk);
    return picture;
}

BmpPicture ReadPreview(const std::string& name) {
    return ReadBitmap(name, 152, 112);
}

testing::Rgb PixelOf(const BmpPicture& picture, int x, int y) {
    const uint8_t* p =
        &picture.pixels.at(BitmapRowBytes(picture.width, 24) * (picture.height - 1 - y) + 3 * x);
    return testing::Rgb{p[2], p[1], p[0]};
}

int Brightness(testing::Rgb c) {
    return (299 * c.r + 587 * c.g + 114 * c.b) / 1000;
}

testing::Rgb Hex(uint32_t rgb) {
    return testing::Rgb{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                        static_cast<uint8_t>(rgb)};
}

std::string HexOf(testing::Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", c.r, c.g, c.b);
    return text;
}

int LargestChannelGap(testing::Rgb a, testing::Rgb b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
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

// The installer's side picture is dark around the ribbon, so the page's white text stands
// apart from it; the header picture leaves its left part white for the page's own texts.
TEST(WizardPictures, SideIsDarkBlueAroundTheRibbonAndHeaderWhiteBesideIt) {
    const BmpPicture side = ReadBitmap("wizard_side.bmp", 164, 314);
    const BmpPicture header = ReadBitmap("wizard_header.bmp", 150, 57);
    ASSERT_EQ(side.width, 164);
    ASSERT_EQ(header.width, 150);
    const auto deepBlue = [](testing::Rgb c) { return c.b > c.r + 40 && Brightness(c) < 110; };
    for (auto [x, y] : {std::pair{0, 0}, {163, 0}, {0, 313}, {163, 313}, {82, 300}}) {
        EXPECT_TRUE(deepBlue(PixelOf(side, x, y)))
            << x << "," << y << " " << HexOf(PixelOf(side, x, y));
    }
    const auto grass = [](testing::Rgb c) { return c.g > c.r + 40 && c.g > c.b + 20; };
    int sideGrass = 0, headerGrass = 0, headerWhite = 0;
    for (int y = 0; y < 314; ++y) {
        for (int x = 0; x < 164; ++x) {
            sideGrass += grass(PixelOf(side, x, y));
        }
    }
    for (int y = 0; y < 57; ++y) {
        for (int x = 0; x < 150; ++x) {
            headerGrass += grass(PixelOf(header, x, y));
            headerWhite += x < 90 && PixelOf(header, x, y) == (testing::Rgb{255, 255, 255});
        }
    }
    EXPECT_GT(sideGrass, 600);
    EXPECT_GT(headerGrass, 60);
    EXPECT_EQ(headerWhite, 90 * 57);
}

// The push buttons draw only a 4-pixel frame of a 64 x 25 face: the corners as they are,
// the top and bottom edges stretched across, the sides stretched down.
constexpr int kFaceWidth = 64, kFaceHeight = 25;
constexpr int kFaceMiddleX = 32, kFaceMiddleY = 12;
constexpr uint32_t kDialogColour = 0xECE9D8;

struct FaceFrame {
    const char* name;
    // At the middle of each side, outermost row or column first.
    uint32_t top[4], bottom[4], left[4], right[4];
};

const FaceFrame kFaces[] = {
    {"face_normal.bmp",
     {0xDCD6C2, 0x003C74, 0xF3F3EE, 0xF3F3EE},
     {0xFAFAF6, 0x003C74, 0xD6D0C5, 0xE2DFD6},
     {0xE2DECB, 0x003C74, 0xF4F4F0, 0xF4F4F0},
     {0xF0EEE0, 0x003C74, 0xE8E5DF, 0xEEEDE7}},
    {"face_highlight.bmp",
     {0xDCD6C2, 0x003C74, 0xFFF0CF, 0xFDD889},
     {0xFAFAF6, 0x003C74, 0xE59700, 0xF8B330},
     {0xE2DECB, 0x003C74, 0xFCCA69, 0xFBCA6A},
     {0xF0EEE0, 0x003C74, 0xFCCA69, 0xFBCA6A}},
    {"face_selected.bmp",
     {0xDCD6C2, 0x003C74, 0xCEE7FF, 0xCEE7FF},
     {0xFAFAF6, 0x003C74, 0x6982EE, 0x6982EE},
     {0xE2DECB, 0x003C74, 0xA9C5EF, 0xA8C6F0},
     {0xF0EEE0, 0x003C74, 0xA9C5EF, 0xA9C5EF}},
    {"face_pressed.bmp",
     {0xECE9D8, 0xDCD6C2, 0x003C74, 0xD1CCC1},
     {0xECE9D8, 0xFAFAF6, 0x003C74, 0xF2F1EE},
     {0xECE9D8, 0xE2DECB, 0x003C74, 0xD7D4CB},
     {0xECE9D8, 0xF0EEE0, 0x003C74, 0xE4E3DC}},
    {"face_disable.bmp",
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
     {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}},
};

TEST(ButtonFaces, EachSideHasItsFrameColoursAtItsMiddle) {
    for (const FaceFrame& face : kFaces) {
        SCOPED_TRACE(face.name);
        const BmpPicture picture = ReadBitmap(face.name, kFaceWidth, kFaceHeight);
        ASSERT_EQ(picture.width, kFaceWidth);
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(HexOf(PixelOf(picture, kFaceMiddleX, i)), HexOf(Hex(face.top[i])));
            EXPECT_EQ(HexOf(PixelOf(picture, kFaceMiddleX, kFaceHeight - 1 - i)),
                      HexOf(Hex(face.bottom[i])));
            EXPECT_EQ(HexOf(PixelOf(picture, i, kFaceMiddleY)), HexOf(Hex(face.left[i])));
            EXPECT_EQ(HexOf(PixelOf(picture, kFaceWidth - 1 - i, kFaceMiddleY)),
                      HexOf(Hex(face.right[i])));
        }
    }
}

TEST(ButtonFaces, EdgesStretchWithoutSeams) {
    for (const FaceFrame& face : kFaces) {
        SCOPED_TRACE(face.name);
        const BmpPicture picture = ReadBitmap(face.name, kFaceWidth, kFaceHeight);
        ASSERT_EQ(picture.width, kFaceWidth);
        // The top and bottom edges are stretched across: every column alike.
        for (int y : {0, 1, 2, 3, 21, 22, 23, 24}) {
            for (int x = 5; x < kFaceWidth - 4; ++x) {
                ASSERT_EQ(PixelOf(picture, x, y), PixelOf(picture, 4, y)) << x << "," << y;
            }
        }
        // The sides are stretched down: the outermost column does not change, and the
        // others only shade a little from row to row.
        for (int y = 5; y <= 20; ++y) {
            EXPECT_EQ(PixelOf(picture, 0, y), PixelOf(picture, 0, 4)) << y;
            EXPECT_EQ(PixelOf(picture, kFaceWidth - 1, y), PixelOf(picture, kFaceWidth - 1, 4))
                << y;
            for (int x : {1, 2, 3, kFaceWidth - 4, kFaceWidth - 3, kFaceWidth - 2}) {
                EXPECT_LE(LargestChannelGap(PixelOf(picture, x, y), PixelOf(picture, x, y - 1)), 5)
                    << x << "," << y;
            }
        }
    }
}

TEST(ButtonFaces, CornersAreRoundedIntoTheDialogColour) {
    for (const FaceFrame& face : kFaces) {
        SCOPED_TRACE(face.name);
        const BmpPicture picture = ReadBitmap(face.name, kFaceWidth, kFaceHeight);
        ASSERT_EQ(picture.width, kFaceWidth);
        // Where the outline lies: row and column 1, or 2 when the button is pressed.
        const int outline = face.top[1] == 0x003C74 || face.top[1] == 0xC9C7BA ? 1 : 2;
        for (bool right : {false, true}) {
            for (bool bottom : {false, true}) {
                const auto at = [&](int u, int v) {
                    return PixelOf(picture, right ? kFaceWidth - 1 - u : u,
                                   bottom ? kFaceHeight - 1 - v : v);
                };
                SCOPED_TRACE(std::string(bottom ? "bottom-" : "top-") + (right ? "right" : "left"));
                EXPECT_LE(LargestChannelGap(at(0, 0), Hex(kDialogColour)), 12) << HexOf(at(0, 0));
                // A square corner would put the outline here; the rounded one is nearer the
                // dialog colour than the outline's.
                const int corner = Brightness(at(outline, outline));
                const int outlineBrightness = Brightness(Hex(face.top[outline]));
                EXPECT_GT(2 * corner, outlineBrightness + Brightness(Hex(kDialogColour)))
                    << HexOf(at(outline, outline));
                // The ends of the edges' outline carry on into the corner.
                EXPECT_LT(Brightness(at(3, outline)), corner);
                EXPECT_LT(Brightness(at(outline, 3)), corner);
            }
        }
    }
}

TEST(ButtonFaces, NormalTopLeftCornerIsExact) {
    const BmpPicture picture = ReadBitmap("face_normal.bmp", kFaceWidth, kFaceHeight);
    ASSERT_EQ(picture.width, kFaceWidth);
    const uint32_t expected[4][4] = {
        {0xE9E7D5, 0xE4DFCE, 0xE1DDCA, 0xE0DCC9},
        {0xE4DFCE, 0xE6E1D0, 0x7A95A8, 0x255783},
        {0xE2DECB, 0x7A95A8, 0x557DA2, 0xC0CFDD},
        {0xE2DECB, 0x255783, 0xBFCEDC, 0xFEFEFE},
    };
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(HexOf(PixelOf(picture, x, y)), HexOf(Hex(expected[y][x]))) << x << "," << y;
        }
    }
}

TEST(ButtonFaces, NormalInnerSideShadesFromLightToDark) {
    const BmpPicture picture = ReadBitmap("face_normal.bmp", kFaceWidth, kFaceHeight);
    ASSERT_EQ(picture.width, kFaceWidth);
    EXPECT_EQ(HexOf(PixelOf(picture, 2, 4)), "FDFDFC");
    EXPECT_EQ(HexOf(PixelOf(picture, 2, 20)), "ECEBE6");
    for (int y = 5; y <= 20; ++y) {
        EXPECT_LT(Brightness(PixelOf(picture, 2, y)), Brightness(PixelOf(picture, 2, y - 1))) << y;
    }
}

// Beside the choices of a group: an empty box, and the same box with a blue square in it.
TEST(ChoiceMarks, ShareTheirFrameAndOnlyTheChosenIsBlue) {
    const BmpPicture off = ReadBitmap("mark_off.bmp", 12, 12);
    const BmpPicture on = ReadBitmap("mark_on.bmp", 12, 12);
    ASSERT_EQ(off.width, 12);
    ASSERT_EQ(on.width, 12);
    const auto blue = [](testing::Rgb c) { return c.b > c.r + 100 && c.b > c.g + 50; };
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool frame = x == 0 || y == 0 || x == 11 || y == 11;
            const bool margin = !frame && (x == 1 || y == 1 || x == 10 || y == 10);
            const testing::Rgb c = PixelOf(off, x, y);
            if (frame) {
                // Dark grey, crisp: the same colour all round.
                EXPECT_EQ(c, PixelOf(off, 0, 0)) << x << "," << y;
                EXPECT_TRUE(c.r == c.g && c.g == c.b && c.r < 0x80) << HexOf(c);
            } else {
                EXPECT_GT(Brightness(c), 0xD0) << x << "," << y;
                EXPECT_FALSE(blue(c)) << x << "," << y;
            }
            if (frame || margin) {
                EXPECT_EQ(PixelOf(on, x, y), c) << x << "," << y;
            }
        }
    }
    for (int y = 4; y <= 7; ++y) {
        for (int x = 4; x <= 7; ++x) {
            EXPECT_TRUE(blue(PixelOf(on, x, y)))
                << x << "," << y << " " << HexOf(PixelOf(on, x, y));
        }
    }
}

// The hand's pixels: left alone by the mask, or drawn black or white.
enum class CursorPixel { kClear, kBlack, kWhite };

CursorPixel MonochromeAt(const IconImageView& image, int x, int y) {
    if (image.Masked(x, y)) {
        return CursorPixel::kClear;
    }
    return (image.XorByte(x, y, 0) >> (7 - x % 8)) & 1 ? CursorPixel::kWhite : CursorPixel::kBlack;
}

TEST(HandCursor, PointsWithAWhiteFingertipInsideABlackOutline) {
    const Bytes file = ReadCommitted("hand.cur");
    const std::vector<IconImageView> images = ReadIconDirectory(file, 2);
    ASSERT_EQ(images.size(), 1u);
    const IconImageView& image = images[0];
    EXPECT_EQ(image.side, 32);
    EXPECT_EQ(image.colourCount, 2);
    ExpectSoundImage(image, 1);
    EXPECT_EQ(U32(file, image.offset + 40) & 0xFFFFFF, 0u) << "entry 0 black";
    EXPECT_EQ(U32(file, image.offset + 44) & 0xFFFFFF, 0xFFFFFFu) << "entry 1 white";
    ASSERT_EQ(image.planesOrHotX, 12);
    ASSERT_EQ(image.bitCountOrHotY, 10);

    // The hot spot is the top white pixel of the raised finger, under its black tip.
    EXPECT_EQ(MonochromeAt(image, 12, 10), CursorPixel::kWhite);
    EXPECT_EQ(MonochromeAt(image, 12, 9), CursorPixel::kBlack);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 32; ++x) {
            EXPECT_EQ(MonochromeAt(image, x, y), CursorPixel::kClear) << x << "," << y;
        }
    }
    // Down the finger: clear, black, white, black, clear.
    for (int y = 10; y <= 13; ++y) {
        EXPECT_EQ(MonochromeAt(image, 9, y), CursorPixel::kClear) << y;
        EXPECT_EQ(MonochromeAt(image, 10, y), CursorPixel::kBlack) << y;
        for (int x = 11; x <= 13; ++x) {
            EXPECT_EQ(MonochromeAt(image, x, y), CursorPixel::kWhite) << x << "," << y;
        }
        EXPECT_EQ(MonochromeAt(image, 14, y), CursorPixel::kBlack) << y;
        EXPECT_EQ(MonochromeAt(image, 15, y), CursorPixel::kClear) << y;
    }
    // The hand below is mostly white, so it reads on dark and light screens alike.
    int white = 0, black = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            white += MonochromeAt(image, x, y) == CursorPixel::kWhite;
            black += MonochromeAt(image, x, y) == CursorPixel::kBlack;
        }
    }
    EXPECT_GT(white, 2 * black);
    EXPECT_GT(black, 40);
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

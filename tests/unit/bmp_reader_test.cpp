#include "renderer/bmp_reader.h"

#include <gtest/gtest.h>

#include "common/bitmap_rows.h"
#include "tests/support/test_bitmaps.h"

namespace merovan {
namespace {

using testing::BmpSpec;
using testing::MakeBmp;
using testing::MemorySource;
using testing::PutU32;
using testing::Rgb;

Rgb Pattern(int x, int y) {
    return Rgb{static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 11),
               static_cast<uint8_t>(x ^ y)};
}

// The stored bytes of the picture's pixel (x, y) in the reader's bottom-up output.
Rgb PixelOf(const BmpPicture& picture, int x, int y) {
    const size_t rowBytes = BitmapRowBytes(picture.width, 24);
    const uint8_t* p = &picture.pixels[(picture.height - 1 - y) * rowBytes + x * 3];
    return Rgb{p[2], p[1], p[0]};
}

TEST(BmpReader, ReadsPicturesOfTheSizesTheScreensaverWrites) {
    struct Row {
        int32_t width, height;
        size_t pixelBytes;
    };
    for (const Row row : {Row{1024, 768, 768u * 3072u}, Row{93, 85, 23800u}, Row{1, 1, 4u}}) {
        SCOPED_TRACE(::testing::Message() << row.width << " x " << row.height);
        BmpSpec spec;
        spec.width = row.width;
        spec.height = row.height;
        spec.colour = Pattern;
        MemorySource source(MakeBmp(spec));
        BmpPicture picture;
        ASSERT_EQ(ReadBmp(source, picture), BmpStatus::kOk);
        EXPECT_EQ(picture.width, row.width);
        EXPECT_EQ(picture.height, row.height);
        EXPECT_EQ(picture.pixels.size(), row.pixelBytes);
        EXPECT_EQ(PixelOf(picture, 0, 0), Pattern(0, 0));
        EXPECT_EQ(PixelOf(picture, row.width - 1, row.height - 1),
                  Pattern(row.width - 1, row.height - 1));
    }
}

TEST(BmpReader, SkipsBytesBetweenHeaderAndPixels) {
    BmpSpec spec;
    spec.width = 5;
    spec.height = 2;
    spec.gapBytes = 1024;  // a colour table or masks the reader does not use
    spec.colour = Pattern;
    std::vector<uint8_t> bytes = MakeBmp(spec);
    std::fill(bytes.begin() + 54, bytes.begin() + 54 + 1024, 0xAB);
    MemorySource source(bytes);
    BmpPicture picture;
    ASSERT_EQ(ReadBmp(source, picture), BmpStatus::kOk);
    EXPECT_EQ(PixelOf(picture, 0, 0), Pattern(0, 0));
    EXPECT_EQ(PixelOf(picture, 4, 1), Pattern(4, 1));
}

TEST(BmpReader, TopDownFileComesOutBottomUp) {
    BmpSpec topDown;
    topDown.width = 3;
    topDown.height = -5;
    topDown.colour = Pattern;
    BmpSpec bottomUp = topDown;
    bottomUp.height = 5;

    MemorySource a(MakeBmp(topDown)), b(MakeBmp(bottomUp));
    BmpPicture fromTopDown, fromBottomUp;
    ASSERT_EQ(ReadBmp(a, fromTopDown), BmpStatus::kOk);
    ASSERT_EQ(ReadBmp(b, fromBottomUp), BmpStatus::kOk);
    EXPECT_EQ(fromTopDown.height, 5);
    EXPECT_EQ(fromTopDown.pixels, fromBottomUp.pixels);
}

TEST(BmpReader, LargerAnnouncedPixelBlockIsReadButOnlyTheRowsAreKept) {
    BmpSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.sizeImage = 16 + 8;
    std::vector<uint8_t> bytes = MakeBmp(spec);
    bytes.resize(bytes.size() + 8, 0xEE);
    MemorySource source(bytes);
    BmpPicture picture;
    ASSERT_EQ(ReadBmp(source, picture), BmpStatus::kOk);
    EXPECT_EQ(picture.pixels.size(), 16u);
    EXPECT_EQ(source.Position(), bytes.size());
}

TEST(BmpReader, NotABitmapIsRefusedAfterTheFileHeader) {
    std::vector<uint8_t> bytes = MakeBmp(BmpSpec{});
    bytes[0] = 'M';
    bytes[1] = 'B';
    MemorySource source(bytes);
    BmpPicture picture;
    EXPECT_EQ(ReadBmp(source, picture), BmpStatus::kNotBitmap);
    EXPECT_EQ(source.Position(), 14u);
}

// Every refusal: the reader must never read or hand on more than the file holds.
TEST(BmpReader, RefusesBrokenAndUnsupportedFiles) {
    struct Row {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        BmpStatus expected;
    };
    const std::vector<Row> rows = {
        {"empty file", [](auto& b) { b.clear(); }, BmpStatus::kShortFileHeader},
        {"13 bytes", [](auto& b) { b.resize(13); }, BmpStatus::kShortFileHeader},
        {"header only", [](auto& b) { b.resize(14); }, BmpStatus::kBadInfoBlock},
        {"offset inside the fields", [](auto& b) { PutU32(b, 10, 14 + 23); },
         BmpStatus::kBadInfoBlock},
        {"offset past the end", [](auto& b) { PutU32(b, 10, 0xFFFFFFF0u); },
         BmpStatus::kBadInfoBlock},
        {"info block cut short", [](auto& b) { b.resize(40); }, BmpStatus::kBadInfoBlock},
        {"8 bits per pixel", [](auto& b) { testing::PutU16(b, 28, 8); }, BmpStatus::kUnsupported},
        {"32 bits per pixel", [](auto& b) { testing::PutU16(b, 28, 32); }, BmpStatus::kUnsupported},
        {"RLE compressed", [](auto& b) { PutU32(b, 30, 1); }, BmpStatus::kUnsupported},
        {"bit fields", [](auto& b) { PutU32(b, 30, 3); }, BmpStatus::kUnsupported},
        {"zero width", [](auto& b) { PutU32(b, 18, 0); }, BmpStatus::kBadDimensions},
        {"negative width", [](auto& b) { PutU32(b, 18, 0xFFFFFFFFu); }, BmpStatus::kBadDimensions},
        {"zero height", [](auto& b) { PutU32(b, 22, 0); }, BmpStatus::kBadDimensions},
        {"width above 16384", [](auto& b) { PutU32(b, 18, 16385); }, BmpStatus::kBadDimensions},
        {"height INT32_MIN", [](auto& b) { PutU32(b, 22, 0x80000000u); },
         BmpStatus::kBadDimensions},
        {"huge picture, small file",
         [](auto& b) {
             PutU32(b, 18, 16384);
             PutU32(b, 22, 16384);
         },
         BmpStatus::kShortPixels},
        {"pixels cut short", [](auto& b) { b.pop_back(); }, BmpStatus::kShortPixels},
        {"announced block smaller than the rows", [](auto& b) { PutU32(b, 34, 12 * 3 - 1); },
         BmpStatus::kShortPixels},
        {"announced block larger than the file", [](auto& b) { PutU32(b, 34, 0x7FFFFFFFu); },
         BmpStatus::kShortPixels},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<uint8_t> bytes = MakeBmp(BmpSpec{});  // 4 x 3: rows of 12 bytes
        row.damage(bytes);
        MemorySource source(bytes);
        BmpPicture picture;
        EXPECT_EQ(ReadBmp(source, picture), row.expected);
        EXPECT_TRUE(picture.pixels.empty());
    }
}

}  // namespace
}  // namespace merovan

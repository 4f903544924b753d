#include "forms/bmp_file.h"

#include <gtest/gtest.h>

#include "renderer/bmp_reader.h"
#include "tests/support/test_bitmaps.h"

namespace {

using merovan::testing::MemorySource;

TEST(BmpFile, WritesPaddedBottomUpFilesTheRendererReads) {
    for (int32_t width : {1, 2, 3, 4, 5, 93, 1023}) {
        SCOPED_TRACE(width);
        const int32_t height = 3;
        // Source rows with a stride of their own and junk in the padding.
        const size_t stride = width * 3 + 7;
        std::vector<uint8_t> rows(stride * height, 0xCD);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                uint8_t* p = &rows[y * stride + x * 3];
                p[0] = static_cast<uint8_t>(x);
                p[1] = static_cast<uint8_t>(y);
                p[2] = 0x5A;
            }
        }
        const std::vector<uint8_t> file = forms::EncodeBmp24(width, height, rows.data(), stride);
        const size_t rowBytes = (width * 3 + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + rowBytes * height);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[10], 54);
        for (int32_t y = 0; y < height; ++y) {
            for (size_t pad = width * 3; pad < rowBytes; ++pad) {
                EXPECT_EQ(file[54 + y * rowBytes + pad], 0) << "padding is zero";
            }
        }
        MemorySource source(file);
        merovan::BmpPicture picture;
        ASSERT_EQ(merovan::ReadBmp(source, picture), merovan::BmpStatus::kOk);
        EXPECT_EQ(picture.width, width);
        EXPECT_EQ(picture.height, height);  // positive: bottom-up
        EXPECT_EQ(picture.pixels, std::vector<uint8_t>(file.begin() + 54, file.end()));
        EXPECT_EQ(picture.pixels[rowBytes * 2 + (width - 1) * 3], static_cast<uint8_t>(width - 1));
        EXPECT_EQ(picture.pixels[rowBytes * 2 + 1], 2);
    }
}

}  // namespace

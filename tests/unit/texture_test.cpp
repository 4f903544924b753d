#include "renderer/texture.h"

#include <gtest/gtest.h>

#include <string>

#include "renderer/gl_api.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/temp_folder.h"

namespace merovan {
namespace {

using testing::BmpSpec;
using testing::MakeBmp;
using testing::Rgb;

struct Upload {
    int calls = 0;
    int32_t width = 0, height = 0;
    std::vector<uint8_t> firstRow;
};
Upload g_upload;

int RecordUpload(int32_t width, int32_t height, const void* pixels) {
    ++g_upload.calls;
    g_upload.width = width;
    g_upload.height = height;
    const auto* bytes = static_cast<const uint8_t*>(pixels);
    g_upload.firstRow.assign(bytes, bytes + BmpRowBytes(24, width));
    return 0;
}

class TextureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_upload = Upload{};
        saved_ = Texture::upload;
        Texture::upload = RecordUpload;
    }
    void TearDown() override { Texture::upload = saved_; }

    testing::OffscreenGl gl_{8, 8};
    testing::TempFolder folder_;
    Texture::MipmapUpload saved_ = nullptr;
};

TEST_F(TextureTest, LoadsTheSecondSnapshotSize) {
    BmpSpec spec;
    spec.width = 93;
    spec.height = 85;
    const std::string path = folder_.Write("Merovan2.bmp", MakeBmp(spec));
    Texture texture;
    EXPECT_TRUE(texture.LoadBmp(path.c_str()));
    EXPECT_EQ(g_upload.calls, 1);
    EXPECT_EQ(g_upload.width, 93);
    EXPECT_EQ(g_upload.height, 85);
    EXPECT_EQ(texture.Width(), 93);
    EXPECT_EQ(texture.Height(), 85);
    EXPECT_NE(texture.Handle(), 0u);
    EXPECT_STREQ(texture.FileName(), path.substr(0, 63).c_str());
}

TEST_F(TextureTest, TopDownFileIsUploadedBottomRowFirst) {
    BmpSpec spec;
    spec.width = 2;
    spec.height = -3;
    spec.colour = [](int, int y) { return y == 2 ? Rgb{10, 20, 30} : Rgb{200, 200, 200}; };
    Texture texture;
    EXPECT_TRUE(texture.LoadBmp(folder_.Write("top-down.bmp", MakeBmp(spec)).c_str()));
    EXPECT_EQ(texture.Height(), -3);
    EXPECT_EQ(g_upload.height, 3);
    const std::vector<uint8_t> bottomRow = {30, 20, 10, 30, 20, 10, 0, 0};
    EXPECT_EQ(g_upload.firstRow, bottomRow);
}

TEST_F(TextureTest, FailedLoadsKeepAnEmptyTextureAndUploadNothing) {
    std::vector<uint8_t> truncated = MakeBmp(BmpSpec{});
    truncated.resize(60);
    const std::string paths[] = {
        (folder_.Path() / "missing.bmp").string(), folder_.Write("truncated.bmp", truncated),
        folder_.Write("text.bmp",
                      {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!'}),
        folder_.Path().string(),  // a folder
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        Texture texture;
        EXPECT_FALSE(texture.LoadBmp(path.c_str()));
        EXPECT_NE(texture.Handle(), 0u);
        EXPECT_TRUE(glIsTexture(texture.Handle() - 1));
    }
    EXPECT_EQ(g_upload.calls, 0);
}

TEST_F(TextureTest, LoadingTwiceHoldsOneTextureName) {
    const std::string path = folder_.Write("a.bmp", MakeBmp(BmpSpec{}));
    Texture texture;
    ASSERT_TRUE(texture.LoadBmp(path.c_str()));
    const GLuint first = texture.Handle() - 1;
    ASSERT_TRUE(texture.LoadBmp(path.c_str()));
    const GLuint second = texture.Handle() - 1;
    EXPECT_TRUE(first == second || !glIsTexture(first));
    texture.Release();
    EXPECT_EQ(texture.Handle(), 0u);
    EXPECT_FALSE(glIsTexture(second));
}

TEST_F(TextureTest, LongPathIsKeptCutToItsBuffer) {
    const std::string longName(120, 'x');
    Texture texture;
    texture.Create(longName.c_str());
    EXPECT_EQ(std::string(texture.FileName()), longName.substr(0, 63));
}

}  // namespace
}  // namespace merovan

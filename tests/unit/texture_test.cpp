// The texture levels built off the OpenGL thread, against GLU's, and their upload.
#include "renderer/texture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "common/bitmap_rows.h"
#include "renderer/gl_api.h"
#include "renderer/picture_loader.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/temp_folder.h"

namespace merovan {
namespace {

using testing::BmpSpec;
using testing::MakeBmp;
using testing::MemorySource;
using testing::Rgb;

BmpPicture PictureOf(const BmpSpec& spec) {
    MemorySource source(MakeBmp(spec));
    BmpPicture picture;
    EXPECT_EQ(ReadBmp(source, picture), BmpStatus::kOk);
    return picture;
}

// A desktop-like picture: smooth areas, hard edges and fine detail.
Rgb Desktop(int x, int y) {
    if ((x / 40 + y / 30) % 5 == 0) {
        return Rgb{static_cast<uint8_t>(x * 5), static_cast<uint8_t>(y * 3), 200};
    }
    return Rgb{static_cast<uint8_t>(x / 8), static_cast<uint8_t>(120 + (y / 16) % 100),
               static_cast<uint8_t>(((x / 3) ^ (y / 3)) & 0xFF)};
}

TEST(TextureLevels, SidesArePowersOfTwoAsGluChoosesThem) {
    const int32_t rows[][2] = {{1, 1},       {2, 2},       {3, 4},        {5, 4},
                               {6, 8},       {85, 64},     {93, 64},      {96, 128},
                               {768, 1024},  {1024, 1024}, {1080, 1024},  {1280, 1024},
                               {1920, 2048}, {2560, 2048}, {16384, 16384}};
    for (const auto& row : rows) {
        EXPECT_EQ(TextureSide(row[0]), row[1]) << row[0];
    }
}

class TextureGl : public ::testing::Test {
  protected:
    testing::OffscreenGl gl_{8, 8};
};

// GLU's levels of the same picture, read back as tightly packed rows.
std::vector<PictureLevel> GluLevels(const BmpPicture& picture) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, picture.width, picture.height, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                      picture.pixels.data());
    std::vector<PictureLevel> levels;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    for (GLint level = 0;; ++level) {
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width == 0 || height == 0) {
            break;
        }
        PictureLevel read{width, height, std::vector<uint8_t>(BitmapRowBytes(width, 24) * height)};
        glGetTexImage(GL_TEXTURE_2D, level, GL_BGR_EXT, GL_UNSIGNED_BYTE, read.pixels.data());
        levels.push_back(std::move(read));
    }
    glDeleteTextures(1, &name);
    return levels;
}

double MeanDifference(const PictureLevel& a, const PictureLevel& b) {
    double sum = 0.0;
    const size_t row = BitmapRowBytes(a.width, 24);
    for (int32_t y = 0; y < a.height; ++y) {
        for (int32_t i = 0; i < a.width * 3; ++i) {
            sum += std::abs(a.pixels[y * row + i] - b.pixels[y * row + i]);
        }
    }
    return sum / (static_cast<double>(a.width) * a.height * 3);
}

TEST_F(TextureGl, LevelsLookLikeGlusOwn) {
    const int32_t sizes[][2] = {{1920, 1080}, {1280, 1024}, {1024, 768}, {93, 85}, {5, 3}};
    const std::atomic<bool> cancelled{false};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        BmpSpec spec;
        spec.width = size[0];
        spec.height = size[1];
        spec.colour = Desktop;
        const BmpPicture picture = PictureOf(spec);
        const std::vector<PictureLevel> ours = BuildMipLevels(picture, kMaxTextureSide, cancelled);
        const std::vector<PictureLevel> glus = GluLevels(picture);
        ASSERT_EQ(ours.size(), glus.size());
        double worst = 0.0;
        for (size_t i = 0; i < ours.size(); ++i) {
            ASSERT_EQ(ours[i].width, glus[i].width) << "level " << i;
            ASSERT_EQ(ours[i].height, glus[i].height) << "level " << i;
            const double difference = MeanDifference(ours[i], glus[i]);
            EXPECT_LE(difference, 2.0) << "level " << i;
            worst = std::max(worst, difference);
        }
        std::printf("%d x %d: largest mean difference of a level %.3f\n", size[0], size[1], worst);
    }
}

TEST_F(TextureGl, UploadedLevelsMakeACompleteTexture) {
    BmpSpec spec;
    spec.width = 93;
    spec.height = 85;
    spec.colour = [](int, int) { return Rgb{200, 100, 50}; };
    const std::atomic<bool> cancelled{false};
    const std::vector<PictureLevel> levels =
        BuildMipLevels(PictureOf(spec), kMaxTextureSide, cancelled);
    Texture texture;
    texture.Create();
    ASSERT_TRUE(texture.Upload(levels));
    // Every level down to 1 x 1 holds the colour: the smallest shows it.
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
    uint8_t smallest[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 6, GL_RGB, GL_UNSIGNED_BYTE, smallest);
    EXPECT_EQ(smallest[0], 200);
    EXPECT_EQ(smallest[1], 100);
    EXPECT_EQ(smallest[2], 50);

    Texture empty;
    empty.Create();
    EXPECT_FALSE(empty.Upload({}));
}

TEST(PicturePreparation, PicturesThatCannotBeReadSayWhy) {
    testing::TempFolder folder;
    std::vector<uint8_t> truncated = MakeBmp(BmpSpec{});
    truncated.resize(60);
    const std::string good = folder.Write("good.bmp", MakeBmp(BmpSpec{}));
    const std::atomic<bool> running{false};
    const std::pair<std::string, PictureFault> rows[] = {
        {"", PictureFault::kNotWritten},
        {(folder.Path() / "missing.bmp").string(), PictureFault::kCannotOpen},
        {folder.Path().string(), PictureFault::kCannotOpen},  // a folder
        {folder.Write("truncated.bmp", truncated), PictureFault::kUnreadable},
        {folder.Write("text.bmp", {'h', 'e', 'l', 'l', 'o'}), PictureFault::kUnreadable},
    };
    for (const auto& [path, fault] : rows) {
        SCOPED_TRACE(path);
        const PreparedPictures prepared = PreparePictures({path, good, {}}, running);
        ASSERT_EQ(prepared.sheets.size(), 1u);
        EXPECT_EQ(prepared.sheets[0].read.fault, fault);
        EXPECT_TRUE(prepared.background.read);  // the other picture is shown all the same
    }
    // Once stopped, nothing more is read, not even a good file.
    const std::atomic<bool> stopped{true};
    EXPECT_FALSE(PreparePictures({good, good, {}}, stopped).background.read);
}

// Level builders that fail: for every picture, or for the 93-pixel-wide background only.
std::vector<PictureLevel> OutOfMemory(const BmpPicture&, int32_t, const std::atomic<bool>&) {
    throw std::bad_alloc();
}
std::vector<PictureLevel> OtherFailure(const BmpPicture&, int32_t, const std::atomic<bool>&) {
    throw std::runtime_error("injected");
}
std::vector<PictureLevel> BackgroundOutOfMemory(const BmpPicture& picture, int32_t side,
                                                const std::atomic<bool>& cancelled) {
    return picture.width == 93 ? OutOfMemory(picture, side, cancelled)
                               : BuildMipLevels(picture, side, cancelled);
}

TEST(PicturePreparation, TheLoaderThreadOutlivesEveryFailureAndTheOtherPictureStays) {
    testing::TempFolder folder;
    const PictureRequest whole{folder.Write("1.bmp", MakeBmp(BmpSpec{300})),
                               folder.Write("2.bmp", MakeBmp(BmpSpec{93})),
                               {}};
    PictureRequest halves = whole;
    halves.sheetParts = {{0, 0, 100, 3}, {100, 0, 200, 3}};
    const struct {
        BuildLevelsFunction build;
        const PictureRequest& request;
        PictureFault sheetFault, backgroundFault;
    } rows[] = {
        {OutOfMemory, whole, PictureFault::kNoMemory, PictureFault::kNoMemory},
        {OtherFailure, halves, PictureFault::kFailed, PictureFault::kFailed},
        {BackgroundOutOfMemory, whole, PictureFault::kNone, PictureFault::kNoMemory},
    };
    for (const auto& row : rows) {
        std::atomic<int> told{0};
        PictureLoader loader(
            row.request, [&told] { ++told; }, row.build);
        const PreparedPictures prepared = loader.Take();
        EXPECT_EQ(told.load(), 1);
        ASSERT_EQ(prepared.sheets.size(), row.request.sheetParts.empty() ? 1u : 2u);
        for (const PreparedPicture& part : prepared.sheets) {
            EXPECT_EQ(part.read.fault, row.sheetFault);
            EXPECT_EQ(part.levels.empty(), row.sheetFault != PictureFault::kNone);
        }
        EXPECT_EQ(prepared.background.read.fault, row.backgroundFault);
    }
}

TEST(PicturePreparation, EachPartOfTheSheetGetsItsOwnLevels) {
    testing::TempFolder folder;
    BmpSpec spec;
    spec.width = 300;
    spec.height = 100;  // left part red, right part blue, as a viewer shows it
    spec.colour = [](int x, int) { return x < 100 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; };
    const std::string path = folder.Write("Merovan1.bmp", MakeBmp(spec));
    PictureLoader loader({path, path, {{0, 0, 100, 100}, {100, 20, 200, 80}}}, [] {});
    const PreparedPictures prepared = loader.Take();
    ASSERT_EQ(prepared.sheets.size(), 2u);
    const PictureLevel& left = prepared.sheets[0].levels.front();
    const PictureLevel& right = prepared.sheets[1].levels.front();
    EXPECT_EQ(left.width, 128);
    EXPECT_EQ(left.height, 128);
    EXPECT_EQ(right.width, 256);
    EXPECT_EQ(right.height, 64);
    EXPECT_EQ(left.pixels[2], 255);   // red, in blue-green-red order
    EXPECT_EQ(right.pixels[0], 255);  // blue
    EXPECT_FALSE(prepared.sheets[0].allBlack);
}

TEST(PicturePreparation, OnlyAnEntirelyBlackPictureCountsAsBlack) {
    struct Row {
        const char* name;
        std::function<Rgb(int, int)> colour;
        bool black;
    };
    const Row rows[] = {
        {"black",
         [](int, int) {
             return Rgb{0, 0, 0};
         },
         true},
        {"one dark blue pixel",
         [](int x, int y) {
             return Rgb{0, 0, x == 92 && y == 84};
         },
         false},
        {"grey",
         [](int, int) {
             return Rgb{1, 1, 1};
         },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BmpSpec spec;
        spec.width = 93;  // each row ends in a padding byte
        spec.height = 85;
        spec.colour = row.colour;
        BmpPicture picture = PictureOf(spec);
        EXPECT_EQ(IsAllBlack(picture), row.black);
    }
    // Padding bytes are not pixels.
    BmpSpec spec;
    spec.width = 93;
    spec.height = 2;
    BmpPicture picture = PictureOf(spec);
    picture.pixels[279] = 0xFF;
    EXPECT_TRUE(IsAllBlack(picture));
}

TEST(PicturePreparation, CropsAreClampedToThePicture) {
    BmpSpec spec;
    spec.width = 10;
    spec.height = 6;
    spec.colour = [](int x, int y) {
        return Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0};
    };
    const BmpPicture picture = PictureOf(spec);
    struct Row {
        int32_t x, firstRow, width, rows;
        int32_t expectedWidth, expectedRows;
        uint8_t firstRed, firstGreen;  // of the first pixel held
    };
    // Stored rows run bottom-up: stored row 0 is the picture's row 5.
    const Row rows[] = {
        {0, 0, 10, 6, 10, 6, 0, 5}, {3, 2, 4, 3, 4, 3, 3, 3},  {-5, -5, 8, 7, 3, 2, 0, 5},
        {8, 4, 10, 10, 2, 2, 8, 1}, {10, 0, 4, 4, 0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.firstRow));
        const BmpPicture part = CropPicture(picture, row.x, row.firstRow, row.width, row.rows);
        EXPECT_EQ(part.width, row.expectedWidth);
        EXPECT_EQ(part.height, row.expectedRows);
        if (!part.pixels.empty()) {
            EXPECT_EQ(part.pixels[2], row.firstRed);
            EXPECT_EQ(part.pixels[1], row.firstGreen);
        }
    }
}

}  // namespace
}  // namespace merovan

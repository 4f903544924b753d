// How long the renderer takes to turn a desktop snapshot into a mipmapped texture, for
// 1024 × 768 and 1920 × 1080 desktops, in Mesa's offscreen context:
// - GluBuild2DMipmaps: the file read, then GLU's scaling, levels and uploads, all on the
//   OpenGL thread (the straightforward way);
// - PrepareLevels: the file read, the scaling and the levels, as the renderer's worker
//   thread does them without OpenGL;
// - UploadLevels: what is left for the OpenGL thread, the uploads of the prepared levels;
// - ReadBmp: the file read alone.
//
//     texture_upload_bench [--benchmark_filter=UploadLevels]
//
// Each case runs 9 times and reports the median (with mean, deviation and spread).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "renderer/bmp_reader.h"
#include "renderer/file_source.h"
#include "renderer/gl_api.h"
#include "renderer/picture_loader.h"
#include "renderer/texture.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/test_bitmaps.h"

namespace {

constexpr int kRepetitions = 9;
constexpr int kContextSize = 64;  // the texture, not the drawing buffer, is what is timed

using merovan::testing::Rgb;

// The generated pictures live here for the length of the run.
class SnapshotFolder {
  public:
    SnapshotFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("merovan-texture-upload-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~SnapshotFolder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// One 24-bit bottom-up file per size, made on first use.
std::string SnapshotFile(int width, int height) {
    static SnapshotFolder folder;
    const std::filesystem::path path = folder.Path() / ("snapshot-" + std::to_string(width) + "x" +
                                                        std::to_string(height) + ".bmp");
    if (!std::filesystem::exists(path)) {
        merovan::testing::BmpSpec spec;
        spec.width = width;
        spec.height = height;
        // A busy picture, so nothing in the path can take a short cut on flat colour.
        spec.colour = [](int x, int y) {
            return Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                       static_cast<uint8_t>(x ^ y)};
        };
        const std::vector<uint8_t> bytes = merovan::testing::MakeBmp(spec);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    return path.string();
}

void BM_GluBuild2DMipmaps(benchmark::State& state) {
    const std::string path = SnapshotFile(state.range(0), state.range(1));
    merovan::testing::OffscreenGl context(kContextSize, kContextSize);
    merovan::Texture texture;
    for (auto _ : state) {
        merovan::BmpPicture picture;
        auto file = merovan::OpenFileSource(path.c_str());
        if (!file || merovan::ReadBmp(*file, picture) != merovan::BmpStatus::kOk) {
            state.SkipWithError("ReadBmp failed");
            break;
        }
        texture.Create();
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, picture.width, picture.height, GL_BGR_EXT,
                          GL_UNSIGNED_BYTE, picture.pixels.data());
        glFinish();  // the upload is done only when the driver says so
    }
}

void BM_PrepareLevels(benchmark::State& state) {
    const std::string path = SnapshotFile(state.range(0), state.range(1));
    const std::atomic<bool> cancelled{false};
    for (auto _ : state) {
        merovan::BmpPicture picture;
        if (!merovan::ReadPicture(path, cancelled, picture)) {
            state.SkipWithError("ReadPicture failed");
            break;
        }
        const merovan::PreparedPicture prepared = merovan::PrepareLevels(picture, cancelled);
        benchmark::DoNotOptimize(prepared.levels.data());
    }
}

void BM_UploadLevels(benchmark::State& state) {
    const std::string path = SnapshotFile(state.range(0), state.range(1));
    const std::atomic<bool> cancelled{false};
    merovan::BmpPicture picture;
    if (!merovan::ReadPicture(path, cancelled, picture)) {
        state.SkipWithError("ReadPicture failed");
        return;
    }
    const merovan::PreparedPicture prepared = merovan::PrepareLevels(picture, cancelled);
    merovan::testing::OffscreenGl context(kContextSize, kContextSize);
    merovan::Texture texture;
    for (auto _ : state) {
        texture.Create();
        if (!texture.Upload(prepared.levels)) {
            state.SkipWithError("Upload failed");
            break;
        }
        glFinish();
    }
}

void BM_ReadBmp(benchmark::State& state) {
    const std::string path = SnapshotFile(state.range(0), state.range(1));
    for (auto _ : state) {
        merovan::BmpPicture picture;
        auto file = merovan::OpenFileSource(path.c_str());
        if (!file || merovan::ReadBmp(*file, picture) != merovan::BmpStatus::kOk) {
            state.SkipWithError("ReadBmp failed");
            break;
        }
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}

void ScreenSizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"w", "h"})
        ->Args({1024, 768})
        ->Args({1920, 1080})
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true);
}

BENCHMARK(BM_GluBuild2DMipmaps)->Apply(ScreenSizes);
BENCHMARK(BM_PrepareLevels)->Apply(ScreenSizes);
BENCHMARK(BM_UploadLevels)->Apply(ScreenSizes);
BENCHMARK(BM_ReadBmp)->Apply(ScreenSizes);

}  // namespace

BENCHMARK_MAIN();

// How long the renderer takes to turn a desktop snapshot into a mipmapped texture:
// Texture::LoadBmp (file read, then gluBuild2DMipmaps with its scaling to powers of two and
// the uploads) for 1024 × 768 and 1920 × 1080 desktops, in Mesa's offscreen context.
// ReadBmp alone is timed beside it, to show what the file read costs.
//
//     texture_upload_bench [--benchmark_filter=LoadBmp]
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

void BM_LoadBmp(benchmark::State& state) {
    const std::string path = SnapshotFile(state.range(0), state.range(1));
    merovan::testing::OffscreenGl context(kContextSize, kContextSize);
    merovan::Texture texture;
    for (auto _ : state) {
        if (!texture.LoadBmp(path.c_str())) {
            state.SkipWithError("LoadBmp failed");
            break;
        }
        glFinish();  // the upload is done only when the driver says so
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

BENCHMARK(BM_LoadBmp)->Apply(ScreenSizes);
BENCHMARK(BM_ReadBmp)->Apply(ScreenSizes);

}  // namespace

BENCHMARK_MAIN();

#include "frontend/snapshot_files.h"

#include "common/bitmap_rows.h"
#include "common/program_names.h"
#include "forms/bmp_file.h"

namespace merovan {
namespace {

constexpr int32_t kBackgroundWidthPx = 93;
constexpr int32_t kBackgroundHeightPx = 85;

}  // namespace

std::optional<std::wstring> WriteSnapshot(
    int number, const std::wstring& tempFolder,
    const std::function<bool(const std::wstring& path)>& write) {
    for (const std::wstring& path :
         {SnapshotRootPath(number), SnapshotTempPath(number, tempFolder)}) {
        if (!path.empty() && write(path))
            return path;
    }
    return std::nullopt;
}

std::vector<uint8_t> BackgroundPictureFile() {
    const size_t stride = BitmapRowBytes(kBackgroundWidthPx, 24);
    const std::vector<uint8_t> black(stride * kBackgroundHeightPx, 0);
    return forms::EncodeBmp24(kBackgroundWidthPx, kBackgroundHeightPx, black.data(), stride);
}

}  // namespace merovan

#include "frontend/snapshot_files.h"

#include "common/bitmap_rows.h"
#include "common/program_names.h"
#include "forms/bmp_file.h"

namespace merovan {
namespace {

constexpr int32_t kBackgroundWidthPx = 93;
constexpr int32_t kBackgroundHeightPx = 85;

}  // namespace

SnapshotWrite WriteSnapshot(int number, const std::wstring& tempFolder,
                            const std::function<uint32_t(const std::wstring& path)>& write) {
    SnapshotWrite result;
    for (const std::wstring& path :
         {SnapshotRootPath(number), SnapshotTempPath(number, tempFolder)}) {
        if (path.empty())
            continue;
        const uint32_t error = write(path);
        if (error == 0) {
            result.path = path;
            return result;
        }
        result.refusals += (result.refusals.empty() ? L"" : L", ") + path + L" (error " +
                           std::to_wstring(error) + L")";
    }
    return result;
}

std::vector<uint8_t> BackgroundPictureFile() {
    const size_t stride = BitmapRowBytes(kBackgroundWidthPx, 24);
    const std::vector<uint8_t> black(stride * kBackgroundHeightPx, 0);
    return forms::EncodeBmp24(kBackgroundWidthPx, kBackgroundHeightPx, black.data(), stride);
}

}  // namespace merovan

#include <windows.h>

#include "common/newest_copy.h"
#include "renderer/snapshot_paths.h"

namespace merovan {
namespace {

FileCopy<std::wstring> CopyAt(const std::wstring& path) {
    FileCopy<std::wstring> copy{path};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        copy.exists = true;
        copy.lastWriteTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime;
    }
    return copy;
}

}  // namespace

// A run writes each picture to the root of C: when it may and otherwise to the user's
// temporary folder; a copy left in either place by an earlier run may be stale.
std::filesystem::path SnapshotFilePath(int number) {
    std::vector<FileCopy<std::wstring>> copies{CopyAt(SnapshotRootPath(number))};
    const std::wstring temp = SnapshotTempPath(number, UserTempFolder(GetTempPathW));
    if (!temp.empty()) {
        copies.push_back(CopyAt(temp));
    }
    return NewestCopy(copies);
}

}  // namespace merovan

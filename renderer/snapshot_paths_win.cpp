#include <windows.h>

#include "renderer/snapshot_choice.h"
#include "renderer/snapshot_paths.h"
#include "renderer/win_text.h"

namespace merovan {
namespace {

SnapshotCandidate Candidate(const std::wstring& path) {
    SnapshotCandidate candidate;
    candidate.path = Utf8FromWide(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        candidate.exists = true;
        candidate.lastWriteTime =
            (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
            data.ftLastWriteTime.dwLowDateTime;
    }
    return candidate;
}

}  // namespace

std::string SnapshotFilePath(int number) {
    std::vector<SnapshotCandidate> candidates{Candidate(SnapshotRootPath(number))};
    const std::wstring temp = SnapshotTempPath(number, UserTempFolder(GetTempPathW));
    if (!temp.empty()) {
        candidates.push_back(Candidate(temp));
    }
    return ChooseSnapshotCopy(candidates);
}

}  // namespace merovan

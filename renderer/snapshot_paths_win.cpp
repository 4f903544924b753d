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

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH + 1) {
        return std::wstring();
    }
    return std::wstring(buffer, length);
}

}  // namespace

std::string SnapshotFilePath(int number) {
    std::vector<SnapshotCandidate> candidates{Candidate(SnapshotRootPath(number))};
    const std::wstring temp = SnapshotTempPath(number, TempFolder());
    if (!temp.empty()) {
        candidates.push_back(Candidate(temp));
    }
    return ChooseSnapshotCopy(candidates);
}

}  // namespace merovan

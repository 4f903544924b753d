#include "frontend/snapshot_files.h"

namespace merovan {

std::wstring SnapshotRootPath(int number) {
    return L"C:\\Merovan" + std::to_wstring(number) + L".bmp";
}

std::wstring SnapshotTempPath(int number, const std::wstring& tempFolder) {
    if (tempFolder.empty())
        return std::wstring();
    std::wstring folder = tempFolder;
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + L"Merovan" + std::to_wstring(number) + L".bmp";
}

std::wstring WriteSnapshot(int number, const std::wstring& tempFolder,
                           const std::function<bool(const std::wstring& path)>& write) {
    for (const std::wstring& path :
         {SnapshotRootPath(number), SnapshotTempPath(number, tempFolder)}) {
        if (!path.empty() && write(path))
            return path;
    }
    return std::wstring();
}

}  // namespace merovan

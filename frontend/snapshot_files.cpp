#include "frontend/snapshot_files.h"

#include "common/program_names.h"

namespace merovan {

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

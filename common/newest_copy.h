// Which of several copies of a file to read: the one written last.
//
// The screensaver keeps its settings beside the program or in a per-user copy, and a
// renderer started by hand finds its pictures at the root of C: or in the temporary folder.
// In both cases an earlier copy may be stale.
#pragma once

#include <cstdint>
#include <vector>

namespace merovan {

template <typename Path>
struct FileCopy {
    Path path;
    bool exists = false;
    uint64_t lastWriteTime = 0;  // any unit that grows with time
};

// The newest copy that exists; on a tie the earlier one in the list. When none exists, the
// first path, so that its reader fails on it as on any missing file.
template <typename Path>
Path NewestCopy(const std::vector<FileCopy<Path>>& copies) {
    const FileCopy<Path>* best = nullptr;
    for (const FileCopy<Path>& copy : copies) {
        if (copy.exists && (best == nullptr || copy.lastWriteTime > best->lastWriteTime))
            best = &copy;
    }
    if (best != nullptr)
        return best->path;
    return copies.empty() ? Path() : copies.front().path;
}

}  // namespace merovan

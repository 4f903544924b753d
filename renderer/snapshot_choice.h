// Which copy of a snapshot picture the renderer reads.
//
// The screensaver writes each picture to the root of C: when it may, and otherwise to the
// user's temporary folder (a standard user, or an administrator under UAC, cannot create
// files in C:\). A copy left in either place by an earlier run may be stale, so the
// renderer takes whichever copy was written last.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace merovan {

struct SnapshotCandidate {
    std::string path;
    bool exists = false;
    uint64_t lastWriteTime = 0;  // any monotonic file-time unit
};

// The newest existing candidate; on a tie the earlier one in the list. When none exists,
// the first path, so that the reader fails on it as on any missing file.
std::string ChooseSnapshotCopy(const std::vector<SnapshotCandidate>& candidates);

}  // namespace merovan

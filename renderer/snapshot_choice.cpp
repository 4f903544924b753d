#include "renderer/snapshot_choice.h"

namespace merovan {

std::string ChooseSnapshotCopy(const std::vector<SnapshotCandidate>& candidates) {
    const SnapshotCandidate* best = nullptr;
    for (const SnapshotCandidate& candidate : candidates) {
        if (candidate.exists &&
            (best == nullptr || candidate.lastWriteTime > best->lastWriteTime)) {
            best = &candidate;
        }
    }
    if (best != nullptr) {
        return best->path;
    }
    return candidates.empty() ? std::string() : candidates.front().path;
}

}  // namespace merovan

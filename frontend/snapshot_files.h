// The run's two snapshot pictures: where they are written, the first of their places that
// takes them, and the background picture.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace merovan {

// Where a run wrote its pictures; none for a picture it could not write, which the
// renderer then draws untextured.
struct WrittenSnapshots {
    std::optional<std::wstring> sheet;
    std::optional<std::wstring> background;
};

struct SnapshotWrite {
    std::optional<std::wstring> path;  // where the picture was written
    std::wstring refusals;             // each place that refused it, with the system's error
};

// Writes snapshot `number` with `write` at the first of its places that takes it: the root
// of C:, where the renderer has always looked, else `tempFolder`. `write` answers 0 or the
// system's error code.
SnapshotWrite WriteSnapshot(int number, const std::wstring& tempFolder,
                            const std::function<uint32_t(const std::wstring& path)>& write);

// The background picture's file: solid black, 93 × 85 pixels.
std::vector<uint8_t> BackgroundPictureFile();

}  // namespace merovan

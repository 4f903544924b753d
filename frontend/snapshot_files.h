// Where a run writes the two snapshot pictures.
//
// The root of C: is where the renderer has always looked, but a standard user (and an
// administrator under UAC) cannot create files there; the same names in the user's
// temporary folder serve then. The renderer reads whichever copy was written last.
#pragma once

#include <functional>
#include <string>

namespace merovan {

// The places to try for snapshot `number` (1 or 2), in order.
std::wstring SnapshotRootPath(int number);
std::wstring SnapshotTempPath(int number, const std::wstring& tempFolder);

// Writes with `write` to the first place that takes the file; returns that path, or ""
// when none did.
std::wstring WriteSnapshot(int number, const std::wstring& tempFolder,
                           const std::function<bool(const std::wstring& path)>& write);

}  // namespace merovan

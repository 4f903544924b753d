// Where a run writes the two snapshot pictures: the first of their places that takes them.
#pragma once

#include <functional>
#include <string>

namespace merovan {

// Writes snapshot `number` with `write`, at the root of C: or else in `tempFolder`; returns
// the path written, or "" when no place took the file.
std::wstring WriteSnapshot(int number, const std::wstring& tempFolder,
                           const std::function<bool(const std::wstring& path)>& write);

}  // namespace merovan

// The run's two snapshot pictures: where they are written, the first of their places that
// takes them, and the background picture.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace merovan {

// Writes snapshot `number` with `write`, at the root of C: or else in `tempFolder`; the path
// written, or none when no place took the file.
std::optional<std::wstring> WriteSnapshot(
    int number, const std::wstring& tempFolder,
    const std::function<bool(const std::wstring& path)>& write);

// The background picture's file: solid black, 93 × 85 pixels.
std::vector<uint8_t> BackgroundPictureFile();

}  // namespace merovan

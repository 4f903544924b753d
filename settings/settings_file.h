// Which settings file is read or written, and reading and saving the settings in it.
//
// The file is looked for beside the program first. A screensaver installed in a protected
// folder cannot write there, so saving falls back to a per-user copy, and reading takes that
// copy whenever it is newer than the file beside the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "settings/settings.h"

namespace merovan {

// The largest settings file that is read; a larger one is not taken for settings.
constexpr size_t kLargestSettingsFileBytes = 16 << 20;

// How the settings reach the disk; the program fills it with Win32 calls, tests with fakes.
struct SettingsFiles {
    std::wstring besideProgram;  // the file beside the program
    std::wstring perUser;        // the per-user copy; "" when the user's folder is unknown
    std::wstring programFolder;  // where the file picker starts without a music file
    // The file's bytes; false when it cannot be read or holds more than `maxBytes`.
    std::function<bool(const std::wstring& path, size_t maxBytes, std::string& bytes)> read;
    // Replaces the file with `bytes`; false unless all of them were written.
    std::function<bool(const std::wstring& path, const std::string& bytes)> replace;
    // The last-write time of a file (not a folder); none when there is no such file.
    std::function<std::optional<uint64_t>(const std::wstring& path)> writeTime;
    // Whether a music file is there.
    std::function<bool(const std::wstring& path)> fileExists;
    // Creates a folder; one that is there already is fine.
    std::function<void(const std::wstring& folder)> makeFolder;
};

// The settings from the newer of the two files. A music file that is gone is forgotten, and
// a file source without a file becomes no music.
Settings LoadSettings(const SettingsFiles& files);

// Writes the six stored values beside the program or, when that fails, to the per-user
// copy (making its folder); true when one of them took every value.
bool SaveSettings(const Settings& settings, const SettingsFiles& files);

}  // namespace merovan

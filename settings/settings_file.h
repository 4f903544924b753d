// Which settings file is read or written, and reading and saving the settings in it.
//
// The file is looked for beside the program first. A screensaver installed in a protected
// folder cannot write there, so saving falls back to a per-user copy. Reading takes the
// newer of the two, and a save dates the file it wrote after the other one, so that what a
// save wrote is what the next start reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "settings/settings.h"

namespace merovan {

// The largest settings file that is read. A larger one is not taken for settings, and is
// never replaced: its bytes stay as they are.
constexpr size_t kLargestSettingsFileBytes = 16 << 20;

// Why a settings file was not read whole or not replaced.
enum class FileProblem {
    kMissing,     // there is no such file (reading only)
    kTooLarge,    // over kLargestSettingsFileBytes
    kUnreadable,  // a read failed, or something other than a file is in its place
    kInUse,       // another program has it open or locked
    kUnwritable,  // the file or its folder cannot be written
    kCannotHold,  // the file's encoding cannot hold a value: the music file's name
};

// A file read whole, or why it was not.
struct FileBytes {
    std::string bytes;
    std::optional<FileProblem> problem;  // none when `bytes` is the whole file
};

// How the settings reach the disk; the program fills it with Win32 calls, tests with fakes.
struct SettingsFiles {
    std::wstring besideProgram;  // the file beside the program
    std::wstring perUser;        // the per-user copy; "" when the user's folder is unknown
    std::wstring programFolder;  // where the file picker starts without a music file
    // The whole file, unless it holds more than `maxBytes`.
    std::function<FileBytes(const std::wstring& path, size_t maxBytes)> read;
    // Puts `bytes` in place of the file (a new one when there is none) in one step, keeping
    // what the file is: its attributes, its permissions, a link to it. The new file is dated
    // after `newerThan`, a last-write time. None when it was replaced.
    std::function<std::optional<FileProblem>(const std::wstring& path, const std::string& bytes,
                                             std::optional<uint64_t> newerThan)>
        replace;
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

// A save that did not happen: why, and the file it is about.
struct SaveFailure {
    FileProblem problem;
    std::wstring path;
};

// Writes the six stored values into the file beside the program or, when that cannot be
// written or cannot hold them, into the per-user copy (making its folder). Each file is read whole,
// set and replaced once. A file that cannot be read whole, or is in use, is left as it is and the
// save stops there. None when the values were saved.
std::optional<SaveFailure> SaveSettings(const Settings& settings, const SettingsFiles& files);

}  // namespace merovan

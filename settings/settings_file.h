// Which settings file is read or written, and reading and saving the settings in it.
//
// The file is looked for beside the program first. A screensaver installed in a protected
// folder cannot write there, so saving falls back to a per-user copy, and reading takes that
// copy whenever it is newer than the file beside the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "settings/settings.h"

namespace merovan {

// How the settings reach the disk; the program fills it with Win32 calls, tests with fakes.
struct SettingsFiles {
    std::wstring besideProgram;  // the file beside the program
    std::wstring perUser;        // the per-user copy; "" when the user's folder is unknown
    std::wstring programFolder;  // where the file picker starts without a music file
    // The file's bytes; false when it cannot be read.
    std::function<bool(const std::wstring& path, std::string& bytes)> read;
    // Replaces the file with `bytes`; false unless all of them were written.
    std::function<bool(const std::wstring& path, const std::string& bytes)> replace;
    // The last-write time of a file (not a folder); false when there is no such file.
    std::function<bool(const std::wstring& path, uint64_t& time)> writeTime;
    // Whether a music file is there.
    std::function<bool(const std::wstring& path)> fileExists;
    // Creates a folder; one that is there already is fine.
    std::function<void(const std::wstring& folder)> makeFolder;
};

// A stored copy of the settings file and what is known about it.
struct IniCandidate {
    std::wstring path;
    bool exists = false;
    uint64_t lastWriteTime = 0;
};

// The file to read: the per-user copy when it exists and is newer than the file beside the
// program, else the file beside the program.
std::wstring ChooseSettingsFile(const IniCandidate& besideProgram, const IniCandidate& perUser);

// One value of section "Section"; "" when the file or the key is missing.
std::wstring ReadIniValue(const SettingsFiles& files, const std::wstring& path, const wchar_t* key);
// Writes one value, creating the file, section or key; true when it was written.
bool WriteIniValue(const SettingsFiles& files, const std::wstring& path, const wchar_t* key,
                   const std::wstring& value);

// The settings from the file to read. A music file that is gone is forgotten, and a file
// source without a file becomes no music.
Settings LoadSettings(const SettingsFiles& files);

// Writes the six stored values beside the program or, when that fails, to the per-user
// copy (making its folder); true when one of them took every value.
bool SaveSettings(const Settings& settings, const SettingsFiles& files);

}  // namespace merovan

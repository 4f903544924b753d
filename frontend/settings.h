// The settings record, how it is read from its stored texts, and the small path rules the
// front end shares.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace merovan {

enum BgmKindValue : int16_t { kBgmNone = 0, kBgmCd = 1, kBgmFile = 2 };

struct Settings {
    int16_t BgmKind = 0;     // 0 none, 1 audio CD, 2 MP3 or WAV file; others play nothing
    int16_t BgmRepeat = 0;   // CD track to repeat; 0 for none
    std::wstring BgmFile;    // empty when none is chosen or the stored file is gone
    std::wstring BgmFolder;  // where the file picker starts; not stored
};

// The stored names: section and the three keys.
extern const wchar_t kIniSection[];
extern const wchar_t kKeyBgmKind[];
extern const wchar_t kKeyBgmRepeat[];
extern const wchar_t kKeyBgmFile[];
extern const wchar_t kIniFileName[];  // beside the program, and in the per-user folder

// A stored number: the whole text (blanks around it allowed) must be a number, which is
// rounded down; anything else, or a result outside the 16-bit range, is 0.
int16_t IniNumber(const std::wstring& text);

// How numbers are stored: " 2" for zero and positive numbers, "-1" for negative ones.
std::wstring IniNumberText(int16_t value);

// The folder part of a path: up to its last ":" or "\", without a trailing "\".
// C:\Music\a.mp3 → C:\Music, C:\a.mp3 → C:, D:a.wav → D:, a.mp3 → "".
std::wstring FolderOf(const std::wstring& path);

// A path without its one trailing "\", the form in which a file's existence is tested.
std::wstring WithoutTrailingBackslash(const std::wstring& path);

// How LoadSettings reaches the outside world.
struct SettingsSource {
    std::function<std::wstring(const wchar_t* key)> readKey;  // "" when missing
    std::function<bool(const std::wstring& path)> fileExists;
    std::wstring programFolder;
};

Settings LoadSettings(const SettingsSource& source);

// A stored copy of the settings file and what is known about it.
struct IniCandidate {
    std::wstring path;
    bool exists = false;
    uint64_t lastWriteTime = 0;
};

// The file to read: the per-user copy when it exists and is newer than the file beside the
// program (which a screensaver in a protected folder cannot rewrite), else the file beside
// the program.
std::wstring ChooseSettingsFile(const IniCandidate& besideProgram, const IniCandidate& perUser);

// True when the music file's last three characters, upper-cased, are `extension`.
bool HasExtension(const std::wstring& path, const wchar_t* extension);

}  // namespace merovan

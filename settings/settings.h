// The settings record, the names it is stored under, how its numbers are stored, and the
// small path rules of the stored music file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "settings/ini_document.h"

namespace merovan {

// The music kinds, numbered as they are stored. Any other stored number is kept as it is,
// plays nothing and marks no choice in the settings window.
enum MusicKind : int16_t { kNoMusic = 0, kAudioCd = 1, kMusicFile = 2 };

// The kind a stored number names; none for a number that names no kind.
inline std::optional<MusicKind> KnownMusicKind(int16_t stored) {
    if (stored < kNoMusic || stored > kMusicFile)
        return std::nullopt;
    return static_cast<MusicKind>(stored);
}

// How the renderer shows a run; each is off unless its stored number is other than 0, and
// off is how the screensaver has always shown it.
struct DisplayOptions {
    bool everyMonitor = false;  // cover every monitor instead of a 1024 x 768 window
    bool pacedFrames = false;   // one frame per display refresh instead of back to back
    bool anyInputEnds = false;  // any key, button or move ends the run, not only Escape
};

struct Settings {
    int16_t musicKind = kNoMusic;
    int16_t repeatTrack = 0;    // CD track to repeat; 0 for none
    std::wstring musicFile;     // empty when none is chosen or the stored file is gone
    std::wstring pickerFolder;  // where the file picker starts; not stored
    // The encoding of the file the settings came from, which its saves keep: it decides
    // which music file paths can be stored. Not stored.
    IniEncoding fileEncoding = IniEncoding::kCp932;
    DisplayOptions display;
};

// The stored names: section, the three music keys and the three display keys.
extern const wchar_t kIniSection[];
extern const wchar_t kKeyBgmKind[];
extern const wchar_t kKeyBgmRepeat[];
extern const wchar_t kKeyBgmFile[];
extern const wchar_t kKeyDisplayArea[];  // DisplayOptions::everyMonitor
extern const wchar_t kKeyFramePacing[];  // DisplayOptions::pacedFrames
extern const wchar_t kKeyEndingInput[];  // DisplayOptions::anyInputEnds
extern const wchar_t kIniFileName[];     // beside the program, and in the per-user folder

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

}  // namespace merovan

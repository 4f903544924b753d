// What the screensaver and its renderer agree on.
//
// The two programs share nothing in memory. They meet only through the two snapshot
// pictures on disk, the start of the renderer by file name (with the switches below), and
// the renderer's window, which the screensaver looks up by its title. Both include this
// header and nothing else of each other. The screensaver's own name is here too, for the
// message boxes of its start-up and of its settings window alike.
#pragma once

#include <string>

namespace merovan {

// The renderer's window class, also its title: the screensaver watches for it by title.
constexpr wchar_t kRendererWindowClass[] = L"Merovan_VC";
constexpr wchar_t kRendererWindowTitle[] = L"Merovan_VC";

// The renderer's program file, beside the screensaver.
constexpr wchar_t kRendererFileName[] = L"メロヴァン.dll";

// The two snapshot pictures, written by a run and read once by the renderer at its start.
constexpr int kSheetSnapshot = 1;       // the desktop, wrapped around the sheet
constexpr int kBackgroundSnapshot = 2;  // the background quad's picture

inline std::wstring SnapshotFileName(int number) {
    return L"Merovan" + std::to_wstring(number) + L".bmp";
}

// Snapshots go to the root of C:, where the renderer has always looked. A standard user
// (and an administrator under UAC) cannot create files there, so the same names in the
// user's temporary folder serve then; the renderer reads whichever copy was written last.
inline std::wstring SnapshotRootPath(int number) {
    return L"C:\\" + SnapshotFileName(number);
}

inline std::wstring SnapshotTempPath(int number, const std::wstring& tempFolder) {
    if (tempFolder.empty())
        return std::wstring();
    std::wstring folder = tempFolder;
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + SnapshotFileName(number);
}

// The user's temporary folder as `getTempPath` (GetTempPathW, handed in so that this header
// needs no Windows) gives it, ending in a backslash; "" when Windows has none for us.
template <typename GetTempPathFunction>
std::wstring UserTempFolder(GetTempPathFunction getTempPath) {
    constexpr unsigned long kMaxPath = 260;  // MAX_PATH; a longer path comes back as its size
    wchar_t buffer[kMaxPath + 2] = {};
    const unsigned long length = getTempPath(kMaxPath + 1, buffer);
    if (length == 0 || length > kMaxPath + 1)
        return std::wstring();
    return std::wstring(buffer, length);
}

// Switches on the renderer's command line, separated by spaces and matched without regard
// to case. Without any, the renderer draws as it always has: a 1024 x 768 window at the
// top-left, frames back to back, ended by a held Escape. Unknown switches are ignored.
constexpr wchar_t kSwitchEveryMonitor[] = L"/monitors";  // cover the whole virtual screen
constexpr wchar_t kSwitchPacedFrames[] = L"/paced";      // one frame per display refresh
constexpr wchar_t kSwitchAnyInputEnds[] = L"/anyinput";  // any key, button or move ends
// The pictures a run wrote, as the two quoted paths that follow it:
//     /snapshots "C:\Merovan1.bmp" "C:\Merovan2.bmp"
// An empty pair of quotes stands for a picture the run could not write, which is then drawn
// untextured. Without this switch (a renderer started by hand) the renderer reads the fixed
// paths above, whichever copy was written last.
constexpr wchar_t kSwitchSnapshots[] = L"/snapshots";

}  // namespace merovan

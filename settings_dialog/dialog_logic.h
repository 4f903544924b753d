// The settings window's decisions without Windows: where it opens, its size on the screen,
// how its background is
// shaded, what each music choice enables, the repeat box's texts, and which path of a
// picked file the settings file can hold.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "settings/ini_document.h"

namespace merovan {

// Top-left corner of a window of the given outer size, in pixels: centred horizontally,
// one third of the free height down, each rounded toward zero.
struct Position {
    int left, top;
};
Position DialogPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

// The window's layout is written in pixels at 96 dots per inch and grows with the screen's
// dots per inch in whole steps of a fifteenth of such a pixel: each screen pixel stands for
// as many whole fifteenths as fit in it. At 96 DPI every length stays as written; at 120 or
// 144 DPI it grows by a quarter or a half, rounded down.
struct LayoutScale {
    int dpiX = 96;
    int dpiY = 96;
    int X(int pixelsAt96) const;
    int Y(int pixelsAt96) const;
};

// Brightness of pixel row y of a shaded area `height` pixels high: 0 at the top and the
// bottom edge, 220 in the middle.
int ShadeLevel(int y, int height);
// Colours (0x00BBGGRR) of the window's rows and the panel's rows.
uint32_t WindowShade(int y, int height);
uint32_t PanelShade(int y, int height);

// What the choice of music source shows and enables.
struct ChoiceLook {
    int selectedMark;  // 0, 1 or 2; -1 for none
    bool repeatEnabled;
    bool fileButtonEnabled;
};
ChoiceLook LookOfChoice(int16_t bgmKind);

// The repeat box takes a track number of digits only: at most this many, as on a CD.
constexpr int kTrackDigits = 2;
// The repeat box's text for a track number: digits without leading zeros, "" for none (0,
// or a number below it that a hand-edited file may hold).
std::wstring RepeatText(int16_t track);
// Its list: "", "1" … "30".
std::vector<std::wstring> RepeatList();
// The track number of a repeat text: 0 for "", the number of a text of digits only; none
// for anything else, or a number past 16 bits.
std::optional<int16_t> TrackFromText(const std::wstring& text);

// How a picked file's path is stored: as it is when the settings file's encoding can hold
// it, by its short form when that can, or not at all.
std::optional<std::wstring> PathToStore(
    const std::wstring& picked, IniEncoding encoding,
    const std::function<std::wstring(const std::wstring&)>& shortPathOf);

}  // namespace merovan

// The settings window's decisions without Windows: where it opens, its size on the screen,
// how its background is
// shaded, what each music choice enables, the repeat box's texts, and which path of a
// picked file the settings file can hold.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

// The repeat box's text for a track number: digits without leading zeros, "" for 0.
std::wstring RepeatText(int16_t track);
// Its list: "", "1" … "30".
std::vector<std::wstring> RepeatList();
// The track number a repeat text stands for: a number rounded half to even; anything that
// is not a number, or does not fit 16 bits, is 0.
int16_t RepeatFromText(const std::wstring& text);

// How a picked file's path is stored. The settings file holds code page 932 text and
// returns at most 255 bytes of a value: a path outside that is stored by its short form
// when it has one, and is refused otherwise.
struct StoredPath {
    bool usable;
    std::wstring path;
};
StoredPath PathToStore(const std::wstring& picked,
                       const std::function<std::wstring(const std::wstring&)>& shortPathOf);

}  // namespace merovan

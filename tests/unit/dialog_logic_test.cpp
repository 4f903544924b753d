#include "settings_dialog/dialog_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace merovan {
namespace {

TEST(DialogLogic, OpensCentredAndOneThirdDown) {
    struct Row {
        int screenWidth, screenHeight, windowWidth, windowHeight, left, top;
    };
    const Row rows[] = {
        {1280, 1024, 502, 276, 389, 249},  // the window's outer size on a 1280 × 1024 screen
        {1281, 1000, 0, 0, 640, 333},      // halves and thirds rounded toward zero
        {100, 100, 201, 200, -50, -33},    // a window larger than the screen
    };
    for (const Row& row : rows) {
        const Position p =
            DialogPosition(row.screenWidth, row.screenHeight, row.windowWidth, row.windowHeight);
        EXPECT_EQ(p.left, row.left) << row.screenWidth << " - " << row.windowWidth;
        EXPECT_EQ(p.top, row.top) << row.screenHeight << " - " << row.windowHeight;
    }
}

TEST(DialogLogic, LayoutGrowsWithTheScreensDpi) {
    struct Row {
        int pixelsAt96, dpi, pixels;
    };
    // Whole fifteenths a pixel: 7 at 192 DPI, not 7.5; 8 at 168 DPI, not 8.57; and one
    // on a screen finer than 1440 DPI.
    const Row rows[] = {{469, 96, 469}, {13, 96, 13},  {13, 120, 16},
                        {77, 120, 96},  {25, 144, 37}, {10, 72, 7},
                        {77, 192, 165}, {13, 168, 24}, {10, 3000, 150}};
    for (const Row& row : rows) {
        EXPECT_EQ((LayoutScale{row.dpi, 96}.X(row.pixelsAt96)), row.pixels)
            << row.pixelsAt96 << " at " << row.dpi;
        EXPECT_EQ((LayoutScale{96, row.dpi}.Y(row.pixelsAt96)), row.pixels)
            << row.pixelsAt96 << " at " << row.dpi;
    }
}

TEST(DialogLogic, ShadingRunsDarkLightDark) {
    const int h = 243;
    EXPECT_EQ(WindowShade(0, h), 0x1E0000u);  // RGB(0, 0, 30): blue in the high byte
    EXPECT_EQ(PanelShade(0, h), 0x1E1E1Eu);   // RGB(30, 30, 30)
    int brightest = 0;
    for (int y = 0; y <= h; ++y)
        brightest = std::max(brightest, ShadeLevel(y, h));
    EXPECT_EQ(brightest, 220);
    EXPECT_EQ(WindowShade(h / 2, h), 0xFADCDCu);  // RGB(220, 220, 250)
    EXPECT_EQ(PanelShade(h / 2, h), 0xFAFAFAu);   // RGB(250, 250, 250)
    EXPECT_LT(ShadeLevel(h / 4, h), 220);
    EXPECT_GT(ShadeLevel(h / 4, h), 100);
    EXPECT_LE(ShadeLevel(h, h), 1);  // back to dark at the bottom
    // k = H / 3.142, not π: row 1 of 243 is |220 sin(3.142 / 243)| = 2.84 → 3.
    EXPECT_EQ(ShadeLevel(1, 243), 3);
}

TEST(DialogLogic, EachChoiceEnablesItsControl) {
    struct Row {
        int16_t kind;
        int mark;
        bool repeat, file;
    };
    const Row rows[] = {{0, 0, false, false},
                        {1, 1, true, false},
                        {2, 2, false, true},
                        {3, -1, false, false},
                        {-1, -1, false, false}};
    for (const Row& row : rows) {
        const ChoiceLook look = LookOfChoice(row.kind);
        EXPECT_EQ(look.selectedMark, row.mark) << row.kind;
        EXPECT_EQ(look.repeatEnabled, row.repeat) << row.kind;
        EXPECT_EQ(look.fileButtonEnabled, row.file) << row.kind;
    }
}

TEST(DialogLogic, RepeatTexts) {
    EXPECT_EQ(RepeatText(0), L"");
    EXPECT_EQ(RepeatText(-3), L"");  // a hand-edited file's; saved as 0
    EXPECT_EQ(RepeatText(45), L"45");
    const std::vector<std::wstring> list = RepeatList();
    ASSERT_EQ(list.size(), 31u);
    EXPECT_EQ(list.front(), L"");
    EXPECT_EQ(list.back(), L"30");

    struct Row {
        const wchar_t* text;
        std::optional<int16_t> track;
    };
    const Row rows[] = {{L"", 0},          {L"7", 7},      {L"07", 7},
                        {L"32767", 32767}, {L"32768", {}}, {L"99999999999", {}},
                        {L"x99", {}},      {L" 12", {}},   {L"2.5", {}},
                        {L"-3", {}},       {L"+4", {}},    {L"１２", {}}};
    for (const Row& row : rows) {
        EXPECT_EQ(TrackFromText(row.text), row.track) << '"' << row.text << '"';
    }
}

TEST(DialogLogic, PickedPathsTheSettingsFileCanHold) {
    const std::wstring outside932 = L"C:\\Musik\\Grüße 😀.mp3";
    const auto shortOf = [&](const std::wstring& path) {
        return path == outside932 ? L"C:\\Musik\\GRE~1.MP3" : std::wstring();
    };
    const IniEncoding cp932 = IniEncoding::kCp932, utf8 = IniEncoding::kUtf8,
                      utf16 = IniEncoding::kUtf16Be;
    const std::wstring japanese = L"C:\\" + std::wstring(126, L'曲') + L".mp3";  // 260 bytes
    const std::wstring ascii = L"C:\\" + std::wstring(248, L'a') + L".mp3";      // 255 bytes
    struct Row {
        std::wstring picked;
        IniEncoding encoding;
        std::optional<std::wstring> stored;
    };
    const Row rows[] = {
        {L"C:\\音楽\\曲 1.mp3", cp932, L"C:\\音楽\\曲 1.mp3"},
        {outside932, cp932, L"C:\\Musik\\GRE~1.MP3"},
        {outside932, utf8, outside932},
        {L"D:\\Без имени 😀.wav", cp932, std::nullopt},  // no short form on this volume
        {L"D:\\Без имени 😀.wav", utf16, L"D:\\Без имени 😀.wav"},
        {japanese, cp932, std::nullopt},
        {japanese, utf8, japanese},
        {ascii, cp932, ascii},
        {ascii + L"x", utf16, std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PathToStore(row.picked, row.encoding, shortOf), row.stored);
    }
}

}  // namespace
}  // namespace merovan

#include "settings_dialog/dialog_logic.h"

#include <cmath>

namespace merovan {

Position DialogPosition(double screenWidthTwips, double screenHeightTwips, double windowWidthTwips,
                        double windowHeightTwips) {
    // Each difference is rounded to a whole number, then divided truncating toward zero.
    const long freeWidth = std::lround(std::nearbyint(screenWidthTwips - windowWidthTwips));
    const long freeHeight = std::lround(std::nearbyint(screenHeightTwips - windowHeightTwips));
    return Position{static_cast<int>(freeWidth / 2), static_cast<int>(freeHeight / 3)};
}

int ShadeLevel(int y, int height) {
    constexpr double kRoughPi = 3.142;
    constexpr double kBrightest = 220.0;
    const double k = height / kRoughPi;
    return static_cast<int>(
        std::nearbyint(std::fabs(kBrightest * std::sin(y / k))));  // halves to even
}

uint32_t WindowShade(int y, int height) {
    const uint32_t b = static_cast<uint32_t>(ShadeLevel(y, height));
    return b | (b << 8) | ((b + 30) << 16);
}

uint32_t PanelShade(int y, int height) {
    const uint32_t b = static_cast<uint32_t>(ShadeLevel(y, height)) + 30;
    return b | (b << 8) | (b << 16);
}

ChoiceLook LookOfChoice(int16_t bgmKind) {
    ChoiceLook look{-1, false, false};
    if (bgmKind >= 0 && bgmKind <= 2)
        look.selectedMark = bgmKind;
    look.repeatEnabled = bgmKind == 1;
    look.fileButtonEnabled = bgmKind == 2;
    return look;
}

std::wstring RepeatText(int16_t track) {
    return track <= 0 ? std::wstring() : std::to_wstring(track);
}

std::vector<std::wstring> RepeatList() {
    std::vector<std::wstring> list;
    for (int16_t track = 0; track <= 30; ++track)
        list.push_back(RepeatText(track));
    return list;
}

std::optional<int16_t> TrackFromText(const std::wstring& text) {
    if (text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return std::nullopt;
    long track = 0;
    for (const wchar_t digit : text) {
        track = track * 10 + (digit - L'0');
        if (track > INT16_MAX)
            return std::nullopt;
    }
    return static_cast<int16_t>(track);
}

std::optional<std::wstring> PathToStore(
    const std::wstring& picked, IniEncoding encoding,
    const std::function<std::wstring(const std::wstring&)>& shortPathOf) {
    if (IniCanHold(encoding, picked))
        return picked;
    const std::wstring shortPath = shortPathOf(picked);
    if (!shortPath.empty() && IniCanHold(encoding, shortPath))
        return shortPath;
    return std::nullopt;
}

}  // namespace merovan

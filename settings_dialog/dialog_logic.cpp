#include "settings_dialog/dialog_logic.h"

#include <algorithm>
#include <cmath>

#include "settings/settings.h"

namespace merovan {

Position DialogPosition(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
    return Position{(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 3};
}

namespace {

int Scaled(int pixelsAt96, int dpi) {
    constexpr int kSteps = 15;  // of a 96-DPI pixel
    // A screen finer than 1440 DPI still takes one step a pixel.
    const int stepsPerPixel = std::max(1, kSteps * 96 / dpi);
    return pixelsAt96 * kSteps / stepsPerPixel;
}

}  // namespace

int LayoutScale::X(int pixelsAt96) const {
    return Scaled(pixelsAt96, dpiX);
}

int LayoutScale::Y(int pixelsAt96) const {
    return Scaled(pixelsAt96, dpiY);
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
    // The marks stand in the order of the kinds' numbers.
    const std::optional<MusicKind> kind = KnownMusicKind(bgmKind);
    return ChoiceLook{kind ? static_cast<int>(*kind) : -1, kind == kAudioCd, kind == kMusicFile};
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

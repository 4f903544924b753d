#include "settings/settings.h"

#include <cmath>
#include <cstdlib>

namespace merovan {

const wchar_t kIniSection[] = L"Section";
const wchar_t kKeyBgmKind[] = L"BGM区分";
const wchar_t kKeyBgmRepeat[] = L"BGMﾘﾋﾟｰﾄ";
const wchar_t kKeyBgmFile[] = L"BGMﾌｧｲﾙ";
const wchar_t kKeyDisplayArea[] = L"表示範囲";
const wchar_t kKeyFramePacing[] = L"描画間隔";
const wchar_t kKeyEndingInput[] = L"終了操作";
const wchar_t kIniFileName[] = L"メロヴァン.ini";

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

}  // namespace

int16_t IniNumber(const std::wstring& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;

    // sign? digits [. digits] [e sign? digits]
    std::string number;
    size_t i = begin;
    if (i < end && (text[i] == L'+' || text[i] == L'-'))
        number += static_cast<char>(text[i++]);
    bool digits = false;
    while (i < end && IsDigit(text[i]))
        number += static_cast<char>(text[i++]), digits = true;
    if (i < end && text[i] == L'.') {
        number += '.';
        ++i;
        while (i < end && IsDigit(text[i]))
            number += static_cast<char>(text[i++]), digits = true;
    }
    if (digits && i < end && (text[i] == L'e' || text[i] == L'E')) {
        number += 'e';
        ++i;
        if (i < end && (text[i] == L'+' || text[i] == L'-'))
            number += static_cast<char>(text[i++]);
        bool exponent = false;
        while (i < end && IsDigit(text[i]))
            number += static_cast<char>(text[i++]), exponent = true;
        if (!exponent)
            return 0;
    }
    if (!digits || i != end)
        return 0;

    const double value = std::floor(std::strtod(number.c_str(), nullptr));
    if (!(value >= -32768.0 && value <= 32767.0))
        return 0;
    return static_cast<int16_t>(value);
}

std::wstring IniNumberText(int16_t value) {
    return value < 0 ? std::to_wstring(value) : L" " + std::to_wstring(value);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t last = path.find_last_of(L":\\");
    if (last == std::wstring::npos)
        return std::wstring();
    std::wstring folder = path.substr(0, last + 1);
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
    if (!path.empty() && path.back() == L'\\')
        return path.substr(0, path.size() - 1);
    return path;
}

}  // namespace merovan

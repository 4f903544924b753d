// Case and blanks as both programs' command lines and the settings file's names know them:
// only ASCII letters have a case, so a letter of another script never matches another.
#pragma once

#include <string_view>

namespace merovan {

template <typename Char>
constexpr Char UpperAscii(Char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<Char>(c - 'a' + 'A') : c;
}

// What separates the words of a command line.
constexpr bool IsCommandLineBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

inline bool SameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    }
    return true;
}

}  // namespace merovan

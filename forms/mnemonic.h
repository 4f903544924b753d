// Captions with a mnemonic: "&Settings" shows "Settings" with its S underlined, and Alt+S
// reaches it. "&&" stands for one '&'.
#pragma once

#include <string>

namespace forms {

// The mnemonic's letter, upper case where it is an ASCII letter; 0 for none.
inline wchar_t MnemonicOf(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&')
            continue;
        const wchar_t next = caption[i + 1];
        if (next != L'&')
            return next >= L'a' && next <= L'z' ? static_cast<wchar_t>(next - L'a' + L'A') : next;
        ++i;  // "&&"
    }
    return 0;
}

// The caption as it reads: without the marks.
inline std::wstring WithoutMnemonic(const std::wstring& caption) {
    std::wstring plain;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

// How a screen reader names the mnemonic's key: "Alt+S"; empty for none.
inline std::wstring MnemonicShortcut(const std::wstring& caption) {
    const wchar_t letter = MnemonicOf(caption);
    return letter != 0 ? std::wstring(L"Alt+") + letter : std::wstring();
}

}  // namespace forms

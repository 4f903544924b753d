#include "forms/ui_text.h"

namespace forms {

UiLanguage UserUiLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? UiLanguage::kJapanese
                                                                       : UiLanguage::kEnglish;
}

std::wstring LoadUiText(UiLanguage language, int id) {
    // Strings are stored sixteen to a block, each counted by its first character.
    const WORD languageId = language == UiLanguage::kJapanese
                                ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)
                                : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceExW(module, RT_STRING,
                                        MAKEINTRESOURCEW(id / 16 + 1), languageId);
    if (found == nullptr)
        return std::wstring();
    const HGLOBAL loaded = LoadResource(module, found);
    const auto* block = static_cast<const wchar_t*>(LockResource(loaded));
    const DWORD blockChars = SizeofResource(module, found) / sizeof(wchar_t);
    if (block == nullptr)
        return std::wstring();
    DWORD at = 0;
    for (int skip = id % 16; skip > 0 && at < blockChars; --skip)
        at += 1 + block[at];
    if (at >= blockChars || at + 1 + block[at] > blockChars)
        return std::wstring();
    return std::wstring(block + at + 1, block[at]);
}

HFONT CreateMessageFont(bool underline) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    metrics.lfMessageFont.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace forms

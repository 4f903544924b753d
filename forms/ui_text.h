// The texts a user reads, in the user's language: the program's string tables hold a
// Japanese and an English block, and Windows' UI language picks one.
#pragma once

#include <windows.h>

#include <string>

namespace forms {

enum class UiLanguage { kJapanese, kEnglish };

// Japanese where the user's Windows speaks Japanese, English everywhere else.
UiLanguage UserUiLanguage();

// String `id` of this program's string table in `language`; empty when there is none.
std::wstring LoadUiText(UiLanguage language, int id);

// The font the system uses for message boxes, at the screen's size; the caller owns it.
HFONT CreateMessageFont(bool underline);

}  // namespace forms

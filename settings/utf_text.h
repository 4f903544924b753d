// UTF-8 and UTF-16 text, for settings files that users saved in those encodings.
//
// wchar_t is a UTF-16 unit on Windows but a whole code point on Linux, where the tests run;
// std::u16string is UTF-16 on both.
#pragma once

#include <string>

namespace merovan {

std::u16string ToUtf16(const std::wstring& text);
std::wstring FromUtf16(const std::u16string& text);

// The length of the well-formed UTF-8 character starting at bytes[i]; 0 when there is none.
// With `decoded`, also its code point.
size_t Utf8CharacterLength(const std::string& bytes, size_t i, char32_t* decoded = nullptr);

// False when `bytes` is not well-formed UTF-8 (a cut or overlong sequence, a surrogate, a
// code point past U+10FFFF); each bad byte then reads as U+FFFD.
bool Utf8ToUtf16(const std::string& bytes, std::u16string& text);
// A surrogate without its other half is written as U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace merovan

// The settings file's text, read and changed by the rules of the Windows profile functions.
//
// The file's bytes are code page 932 (Shift-JIS) whatever the user's locale, so the text is
// handled here as bytes: section and key names match without regard to case (ASCII letters
// only, never the second byte of a double-byte character), spaces and tabs around names
// and values are trimmed, and one pair of surrounding quotes is stripped from a value read.
// A write changes or adds exactly one line and keeps every other byte of the file.
#pragma once

#include <cstddef>
#include <string>

namespace merovan {

constexpr size_t kIniValueMaxBytes = 255;  // what a 256-byte profile buffer returns

// The value of `key` in `section`; empty when the section or key is missing. Values longer
// than kIniValueMaxBytes are cut there (never in the middle of a double-byte character).
std::string IniRead(const std::string& file, const std::string& section, const std::string& key);

// `file` with `key` in `section` set to `value`, adding the section or key when missing.
// New lines end in CR LF.
std::string IniWrite(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value);

// True for the first byte of a code page 932 double-byte character.
bool IsCp932LeadByte(unsigned char byte);

}  // namespace merovan

// The settings file's text, read and changed by the rules of the Windows profile functions.
//
// The text is handled in its own units: bytes of code page 932 (Shift-JIS, the stored
// format) or of UTF-8, or UTF-16 units. Section and key names match without regard to case
// (ASCII letters only, never part of a multi-unit character), spaces and tabs around names
// and values are trimmed, and one pair of surrounding quotes is stripped from a value read.
// A line ends at CR LF, LF or a lone CR. A write changes or adds exactly one line, ended
// like the file's first line, and keeps every other unit of the file.
#pragma once

#include <cstddef>
#include <string>

namespace merovan {

// What a 256-unit profile buffer returns: 255 bytes of a code page 932 value, 255 UTF-16
// units of a value in the other encodings.
constexpr size_t kIniValueMaxBytes = 255;

// How the bytes of a std::string text make characters.
enum class IniCharset { kCp932, kUtf8 };

// The value of `key` in `section`; empty when the section or key is missing. Values longer
// than kIniValueMaxBytes are cut there (never in the middle of a character).
std::string IniRead(const std::string& file, const std::string& section, const std::string& key,
                    IniCharset charset = IniCharset::kCp932);
std::u16string IniRead(const std::u16string& file, const std::u16string& section,
                       const std::u16string& key);

// `file` with `key` in `section` set to `value`, adding the section or key when missing.
// New lines end as the file's first line does, in CR LF when it has none.
std::string IniWrite(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value, IniCharset charset = IniCharset::kCp932);
std::u16string IniWrite(const std::u16string& file, const std::u16string& section,
                        const std::u16string& key, const std::u16string& value);

}  // namespace merovan

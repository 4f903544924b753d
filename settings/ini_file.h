// A settings file in the encoding its user left it in.
//
// The program writes code page 932, but a user who edits the file may save it as UTF-8
// (with or without a byte order mark) or as UTF-16LE with one. Values are read and written
// as wide text; the file keeps its encoding, its byte order mark, its line breaks and every
// line that is not written, byte for byte.
#pragma once

#include <string>
#include <vector>

namespace merovan {

enum class IniEncoding { kCp932, kUtf8, kUtf8WithBom, kUtf16LeWithBom };

// The encoding of a file's bytes, told by its byte order mark. Without one, a file that is
// well-formed UTF-8 and holds one of `keys` in `section` as UTF-8 is UTF-8; anything else
// (an empty file included) is code page 932.
IniEncoding IniEncodingOf(const std::string& bytes, const std::wstring& section,
                          const std::vector<std::wstring>& keys);

// The value of `key` in `section`; "" when it is missing.
std::wstring IniFileRead(const std::string& bytes, IniEncoding encoding,
                         const std::wstring& section, const std::wstring& key);

// The file's bytes with `key` set to `value`, in the file's own encoding. A value with
// characters that code page 932 lacks is stored in a lossy form there.
std::string IniFileWrite(const std::string& bytes, IniEncoding encoding,
                         const std::wstring& section, const std::wstring& key,
                         const std::wstring& value);

}  // namespace merovan

// A settings file read whole, in the encoding its user left it in.
//
// The program writes code page 932, but a user who edits the file may save it as UTF-8
// (with or without a byte-order mark) or as UTF-16 with one, little- or big-endian. The
// encoding is told once, from the bytes read. Values are read and set as wide text; the file
// keeps its encoding, its mark, its line breaks and every line that is not set, byte for
// byte, so a save never mixes two encodings in one file.
#pragma once

#include <string>

namespace merovan {

enum class IniEncoding { kCp932, kUtf8, kUtf8WithBom, kUtf16Le, kUtf16Be };

// Whether a file in `encoding` can hold `value` so that it reads back as it is: every
// character, within the units a value is read with.
bool IniCanHold(IniEncoding encoding, const std::wstring& value);

class IniDocument {
  public:
    // The bytes of a file, or none for a new one. With a byte-order mark the file is
    // UTF-8 or UTF-16 as the mark says; without one, well-formed UTF-8 that holds any
    // character beyond ASCII is UTF-8; anything else is code page 932.
    explicit IniDocument(const std::string& bytes = std::string());

    IniEncoding Encoding() const { return encoding_; }
    // The value of `key` in `section`; "" when it is missing.
    std::wstring Get(const std::wstring& section, const std::wstring& key) const;
    // Sets `key` in `section`, adding either when missing. False, with the document as it
    // was, when its encoding cannot hold the value.
    bool Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    // The whole file.
    std::string Bytes() const;

  private:
    IniEncoding encoding_ = IniEncoding::kCp932;
    std::string mark_;     // the byte-order mark, as found
    std::string narrow_;   // the text of a code page 932 or UTF-8 file
    std::u16string wide_;  // the text of a UTF-16 file
    std::string oddByte_;  // a UTF-16 file's last byte when it makes no unit
};

}  // namespace merovan

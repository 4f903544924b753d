#include "settings/ini_document.h"

#include <algorithm>

#include "settings/cp932.h"
#include "settings/ini_text.h"
#include "settings/utf_text.h"

namespace merovan {
namespace {

const std::string kUtf8Bom = "\xEF\xBB\xBF";
const std::string kUtf16LeBom = "\xFF\xFE";
const std::string kUtf16BeBom = "\xFE\xFF";

bool StartsWith(const std::string& bytes, const std::string& prefix) {
    return bytes.compare(0, prefix.size(), prefix) == 0;
}

bool IsUtf16(IniEncoding encoding) {
    return encoding == IniEncoding::kUtf16Le || encoding == IniEncoding::kUtf16Be;
}

IniEncoding EncodingOf(const std::string& bytes) {
    if (StartsWith(bytes, kUtf16LeBom))
        return IniEncoding::kUtf16Le;
    if (StartsWith(bytes, kUtf16BeBom))
        return IniEncoding::kUtf16Be;
    if (StartsWith(bytes, kUtf8Bom))
        return IniEncoding::kUtf8WithBom;
    // ASCII reads the same in both; code page 932's double-byte characters are almost
    // never well-formed UTF-8.
    const bool beyondAscii =
        std::any_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) != 0; });
    std::u16string ignored;
    return beyondAscii && Utf8ToUtf16(bytes, ignored) ? IniEncoding::kUtf8 : IniEncoding::kCp932;
}

// The code page 932 bytes of a name; the stored names all have them.
std::string Cp932(const std::wstring& text) {
    std::string bytes;
    WideToCp932(text, bytes);
    return bytes;
}

std::string Utf8(const std::wstring& text) {
    return Utf16ToUtf8(ToUtf16(text));
}

std::wstring FromUtf8(const std::string& bytes) {
    std::u16string text;
    Utf8ToUtf16(bytes, text);
    return FromUtf16(text);
}

}  // namespace

bool IniCanHold(IniEncoding encoding, const std::wstring& value) {
    if (encoding != IniEncoding::kCp932)
        return ToUtf16(value).size() <= kIniValueMaxBytes;
    std::string bytes;
    return WideToCp932(value, bytes) && bytes.size() <= kIniValueMaxBytes;
}

IniDocument::IniDocument(const std::string& bytes) : encoding_(EncodingOf(bytes)) {
    switch (encoding_) {
        case IniEncoding::kUtf16Le:
        case IniEncoding::kUtf16Be: {
            mark_ = bytes.substr(0, 2);
            const int high = encoding_ == IniEncoding::kUtf16Be ? 0 : 1;
            size_t i = mark_.size();
            for (; i + 1 < bytes.size(); i += 2) {
                wide_ += static_cast<char16_t>((static_cast<unsigned char>(bytes[i + high]) << 8) |
                                               static_cast<unsigned char>(bytes[i + 1 - high]));
            }
            oddByte_ = bytes.substr(i);
            break;
        }
        case IniEncoding::kUtf8WithBom:
            mark_ = kUtf8Bom;
            narrow_ = bytes.substr(mark_.size());
            break;
        case IniEncoding::kUtf8:
        case IniEncoding::kCp932:
            narrow_ = bytes;
            break;
    }
}

std::wstring IniDocument::Get(const std::wstring& section, const std::wstring& key) const {
    if (IsUtf16(encoding_))
        return FromUtf16(IniRead(wide_, ToUtf16(section), ToUtf16(key)));
    if (encoding_ == IniEncoding::kCp932)
        return Cp932ToWide(IniRead(narrow_, Cp932(section), Cp932(key)));
    return FromUtf8(IniRead(narrow_, Utf8(section), Utf8(key), IniCharset::kUtf8));
}

bool IniDocument::Set(const std::wstring& section, const std::wstring& key,
                      const std::wstring& value) {
    if (!IniCanHold(encoding_, value))
        return false;
    if (IsUtf16(encoding_))
        wide_ = IniWrite(wide_, ToUtf16(section), ToUtf16(key), ToUtf16(value));
    else if (encoding_ == IniEncoding::kCp932)
        narrow_ = IniWrite(narrow_, Cp932(section), Cp932(key), Cp932(value));
    else
        narrow_ = IniWrite(narrow_, Utf8(section), Utf8(key), Utf8(value), IniCharset::kUtf8);
    return true;
}

std::string IniDocument::Bytes() const {
    if (!IsUtf16(encoding_))
        return mark_ + narrow_;
    const int high = encoding_ == IniEncoding::kUtf16Be ? 0 : 1;
    std::string bytes = mark_;
    for (const char16_t unit : wide_) {
        char pair[2];
        pair[high] = static_cast<char>(unit >> 8);
        pair[1 - high] = static_cast<char>(unit & 0xFF);
        bytes.append(pair, 2);
    }
    return bytes + oddByte_;
}

}  // namespace merovan

#include "settings/ini_file.h"

#include "settings/cp932.h"
#include "settings/ini_text.h"
#include "settings/utf_text.h"

namespace merovan {
namespace {

const std::string kUtf8Bom = "\xEF\xBB\xBF";
const std::string kUtf16LeBom = "\xFF\xFE";

bool StartsWith(const std::string& bytes, const std::string& prefix) {
    return bytes.compare(0, prefix.size(), prefix) == 0;
}

std::string Cp932(const std::wstring& text) {
    std::string bytes;
    WideToCp932(text, bytes);  // a lossy form is stored as it is; the picker avoids it
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

// A UTF-16LE file's units after its mark. An odd last byte makes no unit and is kept aside.
std::u16string Utf16LeUnits(const std::string& bytes, std::string& oddByte) {
    std::u16string units;
    size_t i = kUtf16LeBom.size();
    for (; i + 1 < bytes.size(); i += 2) {
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    oddByte = bytes.substr(i);
    return units;
}

std::string Utf16LeBytes(const std::u16string& units) {
    std::string bytes = kUtf16LeBom;
    for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

}  // namespace

IniEncoding IniEncodingOf(const std::string& bytes, const std::wstring& section,
                          const std::vector<std::wstring>& keys) {
    if (StartsWith(bytes, kUtf16LeBom))
        return IniEncoding::kUtf16LeWithBom;
    if (StartsWith(bytes, kUtf8Bom))
        return IniEncoding::kUtf8WithBom;
    std::u16string ignored;
    if (!Utf8ToUtf16(bytes, ignored))
        return IniEncoding::kCp932;
    // The key names are not ASCII, so finding one as UTF-8 tells the two encodings apart.
    for (const std::wstring& key : keys) {
        if (IniHasKey(bytes, Utf8(section), Utf8(key), IniCharset::kUtf8))
            return IniEncoding::kUtf8;
    }
    return IniEncoding::kCp932;
}

std::wstring IniFileRead(const std::string& bytes, IniEncoding encoding,
                         const std::wstring& section, const std::wstring& key) {
    switch (encoding) {
        case IniEncoding::kUtf16LeWithBom: {
            std::string oddByte;
            return FromUtf16(IniRead(Utf16LeUnits(bytes, oddByte), ToUtf16(section), ToUtf16(key)));
        }
        case IniEncoding::kUtf8WithBom:
        case IniEncoding::kUtf8: {
            const size_t bom = encoding == IniEncoding::kUtf8WithBom ? kUtf8Bom.size() : 0;
            return FromUtf8(
                IniRead(bytes.substr(bom), Utf8(section), Utf8(key), IniCharset::kUtf8));
        }
        case IniEncoding::kCp932:
        default:
            return Cp932ToWide(IniRead(bytes, Cp932(section), Cp932(key)));
    }
}

std::string IniFileWrite(const std::string& bytes, IniEncoding encoding,
                         const std::wstring& section, const std::wstring& key,
                         const std::wstring& value) {
    switch (encoding) {
        case IniEncoding::kUtf16LeWithBom: {
            std::string oddByte;
            const std::u16string units = Utf16LeUnits(bytes, oddByte);
            return Utf16LeBytes(IniWrite(units, ToUtf16(section), ToUtf16(key), ToUtf16(value))) +
                   oddByte;
        }
        case IniEncoding::kUtf8WithBom:
        case IniEncoding::kUtf8: {
            const size_t bom = encoding == IniEncoding::kUtf8WithBom ? kUtf8Bom.size() : 0;
            return bytes.substr(0, bom) + IniWrite(bytes.substr(bom), Utf8(section), Utf8(key),
                                                   Utf8(value), IniCharset::kUtf8);
        }
        case IniEncoding::kCp932:
        default:
            return IniWrite(bytes, Cp932(section), Cp932(key), Cp932(value));
    }
}

}  // namespace merovan

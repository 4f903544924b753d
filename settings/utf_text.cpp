#include "settings/utf_text.h"

namespace merovan {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf16(char32_t point, std::u16string& text) {
    if (point < 0x10000) {
        text += static_cast<char16_t>(point);
        return;
    }
    point -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (point >> 10));
    text += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
}

// The code point starting at text[i], consuming one unit or a whole surrogate pair; a lone
// surrogate is returned as it is.
char32_t NextCodePoint(const std::u16string& text, size_t& i) {
    const char32_t unit = text[i++];
    if (IsHighSurrogate(unit) && i < text.size() && IsLowSurrogate(text[i]))
        return 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
    return unit;
}

}  // namespace

std::u16string ToUtf16(const std::wstring& text) {
    std::u16string units;
    for (const wchar_t c : text) {
        if constexpr (sizeof(wchar_t) == sizeof(char16_t))
            units += static_cast<char16_t>(c);
        else
            AppendUtf16(static_cast<char32_t>(c), units);
    }
    return units;
}

std::wstring FromUtf16(const std::u16string& text) {
    std::wstring wide;
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        wide.assign(text.begin(), text.end());
    } else {
        for (size_t i = 0; i < text.size();)
            wide += static_cast<wchar_t>(NextCodePoint(text, i));
    }
    return wide;
}

size_t Utf8CharacterLength(const std::string& bytes, size_t i, char32_t* decoded) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    char32_t point = lead, least = 0;
    if (decoded != nullptr)
        *decoded = point;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC0 && lead < 0xE0)
        length = 2, point = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead < 0xF0)
        length = 3, point = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead < 0xF5)
        length = 4, point = lead & 0x07, least = 0x10000;
    else
        return 0;
    if (i + length > bytes.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        point = (point << 6) | (next & 0x3F);
    }
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    if (point < least || point > 0x10FFFF || surrogate)
        return 0;
    if (decoded != nullptr)
        *decoded = point;
    return length;
}

bool Utf8ToUtf16(const std::string& bytes, std::u16string& text) {
    text.clear();
    bool wellFormed = true;
    for (size_t i = 0; i < bytes.size();) {
        char32_t point = 0;
        const size_t length = Utf8CharacterLength(bytes, i, &point);
        wellFormed = wellFormed && length > 0;
        AppendUtf16(length > 0 ? point : kReplacement, text);
        i += length > 0 ? length : 1;  // one bad byte at a time
    }
    return wellFormed;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size();) {
        char32_t point = NextCodePoint(text, i);
        if (point >= 0xD800 && point <= 0xDFFF)
            point = kReplacement;
        if (point < 0x80) {
            bytes += static_cast<char>(point);
        } else if (point < 0x800) {
            bytes += static_cast<char>(0xC0 | (point >> 6));
            bytes += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            bytes += static_cast<char>(0xE0 | (point >> 12));
            bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (point >> 18));
            bytes += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return bytes;
}

}  // namespace merovan

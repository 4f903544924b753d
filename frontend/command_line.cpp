#include "frontend/command_line.h"

#include <cmath>
#include <cstdlib>

namespace merovan {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

wchar_t UpperAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
}

// A reading place in a number's text. Blanks may stand anywhere in a number and are passed
// over.
struct NumberCursor {
    const std::wstring& text;
    size_t i;

    wchar_t Peek() {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        return i < text.size() ? text[i] : L'\0';
    }
    bool PeekDigit() {
        const wchar_t c = Peek();
        return c >= L'0' && c <= L'9';
    }
    char Take() { return static_cast<char>(text[i++]); }
};

// Reads a decimal number with optional sign, fraction and exponent ("E" or "D"); none when
// there is none.
std::optional<double> ReadNumber(const std::wstring& text, size_t from) {
    NumberCursor at{text, from};
    std::string digits;
    if (at.Peek() == L'-' || at.Peek() == L'+')
        digits += at.Take();
    bool any = false;
    for (; at.PeekDigit(); any = true)
        digits += at.Take();
    if (at.Peek() == L'.') {
        digits += at.Take();
        for (; at.PeekDigit(); any = true)
            digits += at.Take();
    }
    if (!any)
        return std::nullopt;
    const wchar_t e = UpperAscii(at.Peek());
    if (e == L'E' || e == L'D') {
        const size_t mark = at.i;
        std::string exponent = "e";
        ++at.i;
        if (at.Peek() == L'-' || at.Peek() == L'+')
            exponent += at.Take();
        bool exponentDigits = false;
        for (; at.PeekDigit(); exponentDigits = true)
            exponent += at.Take();
        if (exponentDigits)
            digits += exponent;
        else
            at.i = mark;  // a lone "E" is not part of the number
    }
    return std::strtod(digits.c_str(), nullptr);
}

}  // namespace

std::wstring ArgumentsOf(const std::wstring& commandLine) {
    size_t i = 0;
    if (i < commandLine.size() && commandLine[i] == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i]))
            ++i;
    }
    while (i < commandLine.size() && IsBlank(commandLine[i]))
        ++i;
    return commandLine.substr(i);
}

Mode ModeOf(const std::wstring& arguments) {
    if (arguments.size() < 2)
        return arguments.empty() ? Mode::kSettings : Mode::kEnd;
    switch (UpperAscii(arguments[1])) {
        case L'P':
            return Mode::kPreview;
        case L'C':
            return Mode::kSettings;
        case L'S':
            return Mode::kRun;
        default:
            return Mode::kEnd;
    }
}

std::optional<int32_t> PreviewWindowNumber(const std::wstring& arguments) {
    const std::optional<double> read = ReadNumber(arguments, 3);
    if (!read)
        return std::nullopt;
    const double number = std::nearbyint(*read);  // half to even
    if (!(number >= -2147483648.0 && number <= 2147483647.0))
        return std::nullopt;
    return static_cast<int32_t>(number);
}

}  // namespace merovan

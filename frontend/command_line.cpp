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

// An "&H" (hexadecimal) or "&O" (octal) whole number; false, having read nothing, when the
// text does not start with either prefix.
bool ReadRadixNumber(NumberCursor& at, double& number) {
    if (at.Peek() != L'&' || at.i + 1 >= at.text.size())
        return false;
    const wchar_t kind = UpperAscii(at.text[at.i + 1]);
    const int base = kind == L'H' ? 16 : kind == L'O' ? 8 : 0;
    if (base == 0)
        return false;
    at.i += 2;
    uint32_t value = 0;
    for (wchar_t c = at.Peek(); c != L'\0'; c = at.Peek()) {
        const wchar_t u = UpperAscii(c);
        const int digit = (u >= L'0' && u <= L'9')   ? u - L'0'
                          : (u >= L'A' && u <= L'F') ? u - L'A' + 10
                                                     : 99;
        if (digit >= base || value > (0xFFFFFFFFu - digit) / base)
            break;
        value = value * base + digit;
        ++at.i;
    }
    // Hexadecimal and octal texts are 32-bit patterns: &HFFFFFFFF is −1.
    number = static_cast<int32_t>(value);
    return true;
}

// Reads a decimal number with optional sign, fraction and exponent ("E" or "D"), or an
// "&H" or "&O" whole number; 0 when there is none.
double ReadNumber(const std::wstring& text, size_t from) {
    NumberCursor at{text, from};
    double radixNumber = 0.0;
    if (ReadRadixNumber(at, radixNumber))
        return radixNumber;

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
        return 0.0;
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

wchar_t SwitchLetter(const std::wstring& arguments) {
    return arguments.size() < 2 ? L'\0' : UpperAscii(arguments[1]);
}

Mode ModeOf(const std::wstring& arguments) {
    if (arguments.empty())
        return Mode::kRunPointer;
    switch (SwitchLetter(arguments)) {
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

int32_t PreviewWindowNumber(const std::wstring& arguments) {
    if (arguments.size() < 4)
        return 0;
    const double number = std::nearbyint(ReadNumber(arguments, 3));  // half to even
    if (!(number >= -2147483648.0 && number <= 2147483647.0))
        return 0;
    return static_cast<int32_t>(number);
}

}  // namespace merovan

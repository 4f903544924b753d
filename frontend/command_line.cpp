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

// Reads a decimal number with optional sign, fraction and exponent, skipping blanks
// anywhere in it; "&H" and "&O" prefixes read hexadecimal and octal whole numbers.
double ReadNumber(const std::wstring& text, size_t from) {
    size_t i = from;
    auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
    };
    auto peek = [&]() -> wchar_t {
        skipBlanks();
        return i < text.size() ? text[i] : L'\0';
    };

    if (peek() == L'&' && i + 1 < text.size()) {
        const wchar_t kind = UpperAscii(text[i + 1]);
        const int base = kind == L'H' ? 16 : kind == L'O' ? 8 : 0;
        if (base != 0) {
            i += 2;
            uint32_t value = 0;
            for (wchar_t c = peek(); c != L'\0'; c = peek()) {
                const wchar_t u = UpperAscii(c);
                const int digit = (u >= L'0' && u <= L'9')   ? u - L'0'
                                  : (u >= L'A' && u <= L'F') ? u - L'A' + 10
                                                             : 99;
                if (digit >= base || value > (0xFFFFFFFFu - digit) / base)
                    break;
                value = value * base + digit;
                ++i;
            }
            // Hexadecimal and octal texts are 32-bit patterns: &HFFFFFFFF is −1.
            return static_cast<int32_t>(value);
        }
    }

    std::string digits;
    if (peek() == L'-' || peek() == L'+')
        digits += static_cast<char>(text[i++]);
    bool any = false;
    while (peek() >= L'0' && peek() <= L'9') {
        digits += static_cast<char>(text[i++]);
        any = true;
    }
    if (peek() == L'.') {
        digits += '.';
        ++i;
        while (peek() >= L'0' && peek() <= L'9') {
            digits += static_cast<char>(text[i++]);
            any = true;
        }
    }
    if (!any)
        return 0.0;
    const wchar_t e = UpperAscii(peek());
    if (e == L'E' || e == L'D') {
        const size_t mark = i;
        std::string exponent = "e";
        ++i;
        if (peek() == L'-' || peek() == L'+')
            exponent += static_cast<char>(text[i++]);
        bool expDigits = false;
        while (peek() >= L'0' && peek() <= L'9') {
            exponent += static_cast<char>(text[i++]);
            expDigits = true;
        }
        if (expDigits) {
            digits += exponent;
        } else {
            i = mark;
        }
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

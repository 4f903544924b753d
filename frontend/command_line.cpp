#include "frontend/command_line.h"

#include <cstdint>

#include "common/ascii_text.h"

namespace merovan {

std::wstring ArgumentsOf(const std::wstring& commandLine) {
    size_t i = 0;
    if (i < commandLine.size() && commandLine[i] == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !IsCommandLineBlank(commandLine[i]))
            ++i;
    }
    while (i < commandLine.size() && IsCommandLineBlank(commandLine[i]))
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
    size_t i = 3;
    while (i < arguments.size() && IsCommandLineBlank(arguments[i]))
        ++i;
    const bool negative = i < arguments.size() && arguments[i] == L'-';
    if (negative)
        ++i;
    int64_t number = 0;
    bool any = false;
    for (; i < arguments.size() && arguments[i] >= L'0' && arguments[i] <= L'9'; ++i, any = true) {
        number = number * 10 + (arguments[i] - L'0');
        if (number > int64_t{INT32_MAX} + 1)
            return std::nullopt;
    }
    if (negative)
        number = -number;
    if (!any || number > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(number);
}

}  // namespace merovan

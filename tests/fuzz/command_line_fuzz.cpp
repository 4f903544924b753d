// Any command line: decoding never fails, the arguments are the line's tail without the
// blanks in front, the mode rests on the second character alone, and the preview number
// is the one the decoder reads whatever follows it: once a character that cannot continue
// a number comes, nothing after it changes the number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "frontend/command_line.h"

namespace {

// A character that cannot continue a number (not a digit), picked by the input.
wchar_t StopperFrom(uint8_t byte) {
    const wchar_t c = byte;
    return c == 0 || std::wcschr(L"0123456789 \t\r\n-", c) ? L'x' : c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring line;
    for (size_t i = 0; i + 1 < size; i += 2) {
        line += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
    const std::wstring arguments = merovan::ArgumentsOf(line);
    if (arguments.size() > line.size() ||
        line.compare(line.size() - arguments.size(), arguments.size(), arguments) != 0)
        std::abort();
    if (arguments.find_first_of(L" \t\r\n") == 0)
        std::abort();

    const merovan::Mode mode = merovan::ModeOf(arguments);
    if (arguments.empty() && mode != merovan::Mode::kSettings)
        std::abort();
    if (arguments.size() > 2 && mode != merovan::ModeOf(arguments.substr(0, 2)))
        std::abort();

    // The reading starts at the fourth character, so the cut lies at or after it; the last
    // byte of the input picks where, the first what stops the number there.
    if (arguments.size() >= 3) {
        const size_t cut = 3 + data[size - 1] % (arguments.size() - 2);
        const std::wstring head = arguments.substr(0, cut);
        const std::wstring stopped = head + StopperFrom(data[0]) + arguments.substr(cut);
        if (merovan::PreviewWindowNumber(stopped) != merovan::PreviewWindowNumber(head))
            std::abort();
    } else if (merovan::PreviewWindowNumber(arguments)) {
        std::abort();  // too short to hold a number
    }
    return 0;
}

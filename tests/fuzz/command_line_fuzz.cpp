// Any command line: decoding never fails and the preview number is the one the decoder
// reads whatever follows it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "frontend/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring line;
    for (size_t i = 0; i + 1 < size; i += 2) {
        line += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
    const std::wstring arguments = merovan::ArgumentsOf(line);
    if (arguments.size() > line.size())
        std::abort();
    const merovan::Mode mode = merovan::ModeOf(arguments);
    if (arguments.empty() != (mode == merovan::Mode::kRunPointer))
        std::abort();
    merovan::PreviewWindowNumber(arguments);
    return 0;
}

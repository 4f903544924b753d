// What the screensaver's command line asks for.
//
// Only the second character of the upper-cased argument text decides the mode ("/s", "-s"
// and "xs" all run); the preview switch carries the parent window's number from the
// fourth character on ("/p 1234" and "/p:1234" alike).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace merovan {

enum class Mode {
    kPreview,   // "P": a still picture inside the given window
    kSettings,  // "C", or no arguments at all as Windows' "Configure" gives: the settings
    kRun,       // "S": a run
    kEnd,       // anything else: end after the settings and the renderer check
};

// The argument text: the full command line less the program's own path (quoted or not)
// and the blanks after it.
std::wstring ArgumentsOf(const std::wstring& commandLine);

Mode ModeOf(const std::wstring& arguments);

// The decimal number, with an optional minus sign, from the fourth character on after any
// blanks; reading stops at the first character that is not a digit. None when there is no
// number or it does not fit 32 bits.
std::optional<int32_t> PreviewWindowNumber(const std::wstring& arguments);

}  // namespace merovan

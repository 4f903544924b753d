#include "renderer/switches.h"

#include "common/program_names.h"

namespace merovan {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameWord(std::wstring_view word, std::wstring_view name) {
    if (word.size() != name.size()) {
        return false;
    }
    for (size_t i = 0; i < word.size(); ++i) {
        if (AsciiLower(word[i]) != AsciiLower(name[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

RendererSwitches ParseRendererSwitches(std::wstring_view commandLine) {
    RendererSwitches switches;
    size_t at = 0;
    while (at < commandLine.size()) {
        while (at < commandLine.size() && IsBlank(commandLine[at])) {
            ++at;
        }
        const size_t start = at;
        while (at < commandLine.size() && !IsBlank(commandLine[at])) {
            ++at;
        }
        const std::wstring_view word = commandLine.substr(start, at - start);
        if (SameWord(word, kSwitchEveryMonitor)) {
            switches.everyMonitor = true;
        } else if (SameWord(word, kSwitchPacedFrames)) {
            switches.pacedFrames = true;
        } else if (SameWord(word, kSwitchAnyInputEnds)) {
            switches.anyInputEnds = true;
        }
    }
    return switches;
}

}  // namespace merovan

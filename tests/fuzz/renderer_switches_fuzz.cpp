// Any command line given to the renderer: the parse must not touch memory it does not own,
// case and extra blanks must not change what it finds, and the paths it finds must come
// back the same when put on a command line again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "renderer/switches.h"

namespace {

bool Same(const merovan::RendererSwitches& a, const merovan::RendererSwitches& b) {
    return a.everyMonitor == b.everyMonitor && a.pacedFrames == b.pacedFrames &&
           a.anyInputEnds == b.anyInputEnds && a.snapshots.has_value() == b.snapshots.has_value() &&
           (!a.snapshots || (a.snapshots->sheet == b.snapshots->sheet &&
                             a.snapshots->background == b.snapshots->background));
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // UTF-16 code units, as Windows hands the command line over.
    std::wstring line;
    for (size_t i = 0; i + 1 < size; i += 2) {
        line.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    const merovan::RendererSwitches found = merovan::ParseRendererSwitches(line);

    merovan::RendererSwitches upper = found;
    if (upper.snapshots) {
        upper.snapshots->sheet = Upper(upper.snapshots->sheet);
        upper.snapshots->background = Upper(upper.snapshots->background);
    }
    if (!Same(upper, merovan::ParseRendererSwitches(Upper(line))) ||
        !Same(found, merovan::ParseRendererSwitches(L"  " + line + L"\t"))) {
        std::abort();
    }
    if (found.snapshots) {
        const std::wstring again = L"/snapshots \"" + found.snapshots->sheet + L"\" \"" +
                                   found.snapshots->background + L"\"";
        const merovan::RendererSwitches reread = merovan::ParseRendererSwitches(again);
        if (!reread.snapshots || reread.snapshots->sheet != found.snapshots->sheet ||
            reread.snapshots->background != found.snapshots->background) {
            std::abort();
        }
    }
    return 0;
}

// Any command line given to the renderer: the parse must not touch memory it does not own,
// case and extra blanks must not change which switches it finds, and the paths it finds must
// read back the same when put on a command line again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "renderer/switches.h"

namespace {

bool Same(const merovan::RendererSwitches& a, const merovan::RendererSwitches& b) {
    return a.everyMonitor == b.everyMonitor && a.pacedFrames == b.pacedFrames &&
           a.anyInputEnds == b.anyInputEnds && a.snapshots.has_value() == b.snapshots.has_value();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // UTF-16 code units, as Windows hands the command line over.
    std::wstring line;
    for (size_t i = 0; i + 1 < size; i += 2) {
        line.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    const merovan::RendererSwitches found = merovan::ParseRendererSwitches(line);

    std::wstring upper = line;
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    const std::optional<merovan::SnapshotPaths>& paths = found.snapshots;
    const std::wstring again =
        paths ? L"/snapshots \"" + paths->sheet + L"\" \"" + paths->background + L"\"" : L"";
    const std::optional<merovan::SnapshotPaths> reread =
        merovan::ParseRendererSwitches(again).snapshots;
    if (!Same(found, merovan::ParseRendererSwitches(upper)) ||
        !Same(found, merovan::ParseRendererSwitches(L"  " + line + L"\t")) ||
        (paths && (reread->sheet != paths->sheet || reread->background != paths->background))) {
        std::abort();
    }
    return 0;
}

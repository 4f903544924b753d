#include "frontend/renderer_switches.h"

#include <utility>

#include "common/program_names.h"

namespace merovan {
namespace {

// Paths on Windows hold no quotes, so a quoted one is read back whole, blanks and all.
std::wstring Quoted(const std::optional<std::wstring>& path) {
    return L"\"" + path.value_or(L"") + L"\"";
}

}  // namespace

std::wstring RendererArguments(const DisplayOptions& options, const WrittenSnapshots& snapshots) {
    const std::pair<bool, const wchar_t*> displaySwitches[] = {
        {options.everyMonitor, kSwitchEveryMonitor},
        {options.pacedFrames, kSwitchPacedFrames},
        {options.anyInputEnds, kSwitchAnyInputEnds}};
    std::wstring arguments;
    for (const auto& [chosen, name] : displaySwitches) {
        if (chosen)
            arguments += std::wstring(name) + L" ";
    }
    return arguments + kSwitchSnapshots + L" " + Quoted(snapshots.sheet) + L" " +
           Quoted(snapshots.background);
}

}  // namespace merovan

#include "frontend/renderer_switches.h"

#include "common/program_names.h"

namespace merovan {

std::wstring RendererArguments(const DisplayOptions& options) {
    std::wstring arguments;
    const auto add = [&arguments](bool chosen, const wchar_t* name) {
        if (!chosen)
            return;
        if (!arguments.empty())
            arguments += L' ';
        arguments += name;
    };
    add(options.everyMonitor, kSwitchEveryMonitor);
    add(options.pacedFrames, kSwitchPacedFrames);
    add(options.anyInputEnds, kSwitchAnyInputEnds);
    return arguments;
}

}  // namespace merovan

// The renderer's command line: switches chosen by the user in the screensaver's settings.
#pragma once

#include <string_view>

namespace merovan {

struct RendererSwitches {
    bool everyMonitor = false;  // cover the whole virtual screen, one view per monitor
    bool pacedFrames = false;   // one frame per display refresh
    bool anyInputEnds = false;  // any key, button or pointer move ends the run
};

// Words separated by blanks, matched without regard to case; unknown words are ignored.
RendererSwitches ParseRendererSwitches(std::wstring_view commandLine);

}  // namespace merovan

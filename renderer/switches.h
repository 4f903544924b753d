// The renderer's command line: switches chosen by the user in the screensaver's settings,
// and the pictures the run wrote.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace merovan {

// The two pictures a run names; an empty path stands for one it could not write.
struct SnapshotPaths {
    std::wstring sheet, background;
};

struct RendererSwitches {
    bool everyMonitor = false;               // cover the whole virtual screen, one view per monitor
    bool pacedFrames = false;                // one frame per display refresh
    bool anyInputEnds = false;               // any key, button or pointer move ends the run
    std::optional<SnapshotPaths> snapshots;  // none: look for the pictures where they are kept
};

// Words separated by blanks; a word in double quotes may hold blanks, and "" is an empty
// word. Switches are matched without regard to case, quoted words never count as one, and
// unknown words are ignored. The two words after /snapshots are its paths, whatever they
// are; a missing one counts as empty.
RendererSwitches ParseRendererSwitches(std::wstring_view commandLine);

}  // namespace merovan

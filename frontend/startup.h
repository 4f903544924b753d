// The program's start: decides the mode from the command line and starts it.
#pragma once

namespace merovan {

// Returns the exit code.
int Main();

}  // namespace merovan

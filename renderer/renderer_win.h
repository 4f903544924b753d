// The renderer program: its window, pixel format and rendering context, the message loop
// that draws a frame whenever the queue is empty, the animation clock and the ways it ends.
#pragma once

#include <windows.h>

#include "renderer/scene.h"

namespace merovan {

// Runs the renderer with the switches on `commandLine` until Escape (or, as the switches
// say, other input) or the end of its window. Returns the exit code, 0.
int Run(HINSTANCE instance, const wchar_t* commandLine, DrawOrder order);

}  // namespace merovan

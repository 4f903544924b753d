// Where each monitor's view of the scene goes when the window covers every monitor.
//
// The window covers the virtual screen. Each monitor gets its own viewport, a projection
// with that monitor's aspect, and its own part of the desktop snapshot. The snapshot holds
// the whole virtual screen in device pixels the way a single-screen snapshot holds the
// screen: column 0 is the virtual screen's left edge and the first stored row is its top
// row (a picture viewer shows it upside down).
#pragma once

#include <cstdint>
#include <vector>

namespace merovan {

struct PixelRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // screen pixels, y downwards
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

struct MonitorView {
    // OpenGL viewport within the window: origin at the window's bottom-left corner.
    int32_t viewportX = 0, viewportY = 0, width = 0, height = 0;
    // The monitor's part of the snapshot: its first column and first stored row; the part
    // is width × height pixels.
    int32_t pictureX = 0, pictureFirstRow = 0;
};

// One view per monitor with a positive size, clipped to the virtual screen, in the given
// order.
std::vector<MonitorView> LayOutMonitors(const PixelRect& virtualScreen,
                                        const std::vector<PixelRect>& monitors);

}  // namespace merovan

#include "renderer/monitor_layout.h"

#include <algorithm>

namespace merovan {

std::vector<MonitorView> LayOutMonitors(const PixelRect& virtualScreen,
                                        const std::vector<PixelRect>& monitors) {
    std::vector<MonitorView> views;
    for (const PixelRect& monitor : monitors) {
        PixelRect part;
        part.left = std::max(monitor.left, virtualScreen.left);
        part.top = std::max(monitor.top, virtualScreen.top);
        part.right = std::min(monitor.right, virtualScreen.right);
        part.bottom = std::min(monitor.bottom, virtualScreen.bottom);
        if (part.Width() <= 0 || part.Height() <= 0) {
            continue;
        }
        MonitorView view;
        view.width = part.Width();
        view.height = part.Height();
        view.viewportX = part.left - virtualScreen.left;
        view.viewportY = virtualScreen.bottom - part.bottom;  // OpenGL counts from the bottom
        view.pictureX = part.left - virtualScreen.left;
        view.pictureFirstRow = part.top - virtualScreen.top;
        views.push_back(view);
    }
    return views;
}

}  // namespace merovan

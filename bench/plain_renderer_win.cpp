// The renderer drawing each frame the straightforward way: the background quad, then the
// whole sheet over it. bench/draw_order.py runs it by turns with the renderer itself.
#include "renderer/renderer_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    return merovan::Run(instance, commandLine, merovan::DrawOrder::kBackgroundFirst);
}

#include "renderer/renderer_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    return merovan::Run(instance, commandLine, merovan::DrawOrder::kLeastFill);
}

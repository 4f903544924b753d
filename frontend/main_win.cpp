#include <windows.h>

#include "frontend/startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return merovan::Main();
}

#include <windows.h>

#include "frontend/merovan_b.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return merovan::Main();
}

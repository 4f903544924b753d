// Shows the screensaver's preview form in this process, inside a parent window of the size
// given, and saves what it draws: under Wine a child window of another process draws
// nowhere a test can see, so the picture is checked here, with the form's own code.
//
//   preview_host OUT.bmp W H
#include <windows.h>

#include <cstdio>
#include <string>

#include "frontend/preview_form.h"
#include "tests/e2e/hosts/host_support.h"

namespace {

// Draws `window` and its children into `dc` at their places in `window`'s client area.
void PrintTree(HWND window, HDC dc, POINT origin) {
    POINT old{};
    SetViewportOrgEx(dc, origin.x, origin.y, &old);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        PrintTree(child, dc, POINT{origin.x + rect.left, origin.y + rect.top});
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: preview_host OUT.bmp W H\n");
        return 2;
    }
    const int width = _wtoi(argv[2]), height = _wtoi(argv[3]);
    HWND parent = MakePreviewParent(width, height);
    merovan::PreviewForm preview;
    if (!preview.Start(parent))
        return 1;
    HWND form = FindWindowExW(parent, nullptr, nullptr, L"Preview Window");
    RECT client{};
    GetClientRect(form, &client);
    std::printf("form client=%ldx%ld\n", client.right, client.bottom);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PrintTree(form, memory, POINT{0, 0});
    GdiFlush();

    SaveBitmap(argv[1], info.bmiHeader, bits);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return 0;
}

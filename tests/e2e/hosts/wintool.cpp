// A small Windows-side helper for the end-to-end tests: reads windows as Windows sees them,
// sends them messages, and hosts a preview the way the display settings do.
//
//   wintool window TITLE                 one line: hwnd class x y width height clientW clientH visible style
//   wintool close TITLE                  posts WM_CLOSE to the top-level window TITLE
//   wintool preview SCR OUT.bmp W H      makes a W × H parent window, starts "SCR /p HWND",
//                                        waits for its child, prints it, saves its picture
//                                        to OUT.bmp, destroys the parent and prints how long
//                                        the preview process took to end
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
    return out;
}

void PrintWindowLine(const char* label, HWND window) {
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    RECT rect{}, client{};
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    std::printf("%s hwnd=%llu class=%s caption=%s x=%ld y=%ld width=%ld height=%ld client=%ldx%ld "
                "visible=%d style=0x%08lx parent=%llu\n",
                label, static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)),
                Narrow(className).c_str(), Narrow(caption).c_str(), rect.left, rect.top,
                rect.right - rect.left, rect.bottom - rect.top, client.right, client.bottom,
                IsWindowVisible(window) ? 1 : 0, static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(GetParent(window))));
    std::fflush(stdout);
}

bool SaveWindowPicture(HWND window, const std::wstring& path) {
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    // Asks the window (in its own process) to draw itself and its children into our bitmap.
    const BOOL printed = PrintWindow(window, memory, PW_CLIENTONLY);
    GdiFlush();
    const DWORD stride = (width * 3 + 3) & ~3u;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + stride * height;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, &header, sizeof header, &written, nullptr);
    WriteFile(file, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(file, bits, stride * height, &written, nullptr);
    CloseHandle(file);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return printed != FALSE;
}

void PumpFor(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

int Preview(const std::wstring& scr, const std::wstring& out, int width, int height) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"PreviewHost";
    RegisterClassW(&windowClass);
    // A borderless window whose client area is the little monitor's screen.
    HWND parent = CreateWindowExW(0, L"PreviewHost", L"PreviewHost", WS_POPUP | WS_VISIBLE, 100, 100,
                                  width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    PrintWindowLine("parent", parent);

    std::wstring commandLine = L"\"" + scr + L"\" /p " + std::to_wstring(reinterpret_cast<uintptr_t>(parent));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(scr.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("error start %lu\n", GetLastError());
        return 1;
    }
    HWND child = nullptr;
    for (int i = 0; i < 400 && child == nullptr; ++i) {
        PumpFor(50);
        child = FindWindowExW(parent, nullptr, nullptr, L"Preview Window");
    }
    if (child == nullptr) {
        std::printf("error no-child\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    PumpFor(500);  // let it paint
    PrintWindowLine("child", child);
    std::printf("printed=%d\n", SaveWindowPicture(child, out) ? 1 : 0);
    std::fflush(stdout);

    const ULONGLONG destroyed = GetTickCount64();
    DestroyWindow(parent);
    const DWORD wait = WaitForSingleObject(process.hProcess, 10000);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("ended=%d after_ms=%llu exit=%lu\n", wait == WAIT_OBJECT_0 ? 1 : 0,
                GetTickCount64() - destroyed, exitCode);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == L"window") {
        HWND window = FindWindowW(nullptr, args[1].c_str());
        if (window == nullptr) {
            std::printf("none\n");
            return 1;
        }
        PrintWindowLine("window", window);
        return 0;
    }
    if (args.size() == 2 && args[0] == L"close") {
        HWND window = FindWindowW(nullptr, args[1].c_str());
        return window != nullptr && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (args.size() == 5 && args[0] == L"preview") {
        return Preview(args[1], args[2], _wtoi(args[3].c_str()), _wtoi(args[4].c_str()));
    }
    std::fprintf(stderr, "usage: wintool window TITLE | close TITLE | preview SCR OUT.bmp W H\n");
    return 2;
}

// The renderer program: its window, pixel format and rendering context, the message loop
// that draws a frame whenever the queue is empty, the animation clock and the Escape key.
#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "renderer/gl_api.h"
#include "renderer/scene.h"

namespace merovan {
namespace {

constexpr char kWindowClass[] = "Merovan_VC";  // also the title the screensaver watches for
constexpr int kWindowWidth = 1024;             // whatever the size of the screen
constexpr int kWindowHeight = 768;
constexpr BYTE kDepthBits = 16;

HDC g_windowDC = nullptr;
HGLRC g_glContext = nullptr;
bool g_hasContext = false;  // false when no pixel format or context could be had
bool g_running = false;
bool g_keys[256] = {};
LARGE_INTEGER g_counterFrequency{};
LARGE_INTEGER g_startCount{};
PIXELFORMATDESCRIPTOR g_pixelFormat{};

void DebugPrintf(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    OutputDebugStringA(line);
}

void SetupPixelFormat(HDC deviceContext) {
    if (g_pixelFormat.nSize == 0) {
        g_pixelFormat.nSize = sizeof g_pixelFormat;
        g_pixelFormat.nVersion = 1;
        g_pixelFormat.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        g_pixelFormat.iPixelType = PFD_TYPE_RGBA;
        g_pixelFormat.cColorBits = static_cast<BYTE>(GetDeviceCaps(deviceContext, BITSPIXEL));
        g_pixelFormat.cDepthBits = kDepthBits;
    }
    const int index = ChoosePixelFormat(deviceContext, &g_pixelFormat);
    DebugPrintf("PixelFormat Selected: %d\nBPP: %d\n", index,
                GetDeviceCaps(deviceContext, BITSPIXEL));
    SetPixelFormat(deviceContext, index, &g_pixelFormat);
}

void ResizeViewport(int width, int height) {
    glViewport(0, 0, width, height == 0 ? 1 : height);
}

void ReleaseContext() {
    wglMakeCurrent(g_windowDC, nullptr);
    if (g_glContext != nullptr) {
        wglDeleteContext(g_glContext);
        g_glContext = nullptr;
    }
    g_hasContext = false;
}

void OnCreate(HWND window) {
    g_windowDC = GetDC(window);  // the class has its own DC: kept for the life of the process
    SetupPixelFormat(g_windowDC);
    g_glContext = wglCreateContext(g_windowDC);
    // Without a context the renderer still runs, drawing nothing, until Escape.
    g_hasContext = g_glContext != nullptr && wglMakeCurrent(g_windowDC, g_glContext);
}

void OnSize(LPARAM lParam) {
    g_width = LOWORD(lParam);
    g_height = HIWORD(lParam);
    if (g_hasContext) {
        ResizeViewport(g_width, g_height);
    }
}

void StopOnEscape() {
    g_running = false;
    ReleaseContext();
    PostQuitMessage(0);
    ShowCursor(TRUE);
}

void OnPaint(HWND window) {
    // Every paint hides the pointer once more, so it stays hidden over the window.
    ShowCursor(FALSE);
    if (!g_running) {
        return;  // left invalid on purpose: the loop's first look then finds a paint waiting
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    g_time = static_cast<float>(static_cast<double>(now.QuadPart - g_startCount.QuadPart) /
                                static_cast<double>(g_counterFrequency.QuadPart));
    if (g_keys[VK_ESCAPE]) {
        StopOnEscape();
        return;
    }
    if (g_hasContext) {
        DrawFrame();
        SwapBuffers(g_windowDC);
    }
    ValidateRect(window, nullptr);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_DESTROY:
            ReleaseContext();
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            OnSize(lParam);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_KEYDOWN:
            g_keys[wParam & 0xFF] = true;
            return 0;
        case WM_KEYUP:
            g_keys[wParam & 0xFF] = false;
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int RunMessageLoop(HWND window) {
    MSG message{};
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    while (message.message != WM_QUIT) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            InvalidateRect(window, nullptr, FALSE);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int Run(HINSTANCE instance) {
    g_running = false;

    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass)) {
        return 0;
    }
    // A pop-up at CW_USEDEFAULT lands in the top-left corner of the screen.
    const HWND window = CreateWindowExA(
        0, kWindowClass, kWindowClass, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CW_USEDEFAULT,
        CW_USEDEFAULT, kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 0;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    // The clock starts before the scene is set up: loading the pictures counts as animation time.
    QueryPerformanceFrequency(&g_counterFrequency);
    QueryPerformanceCounter(&g_startCount);
    if (g_hasContext && !InitScene()) {
        return 0;
    }
    g_running = true;
    const int exitCode = RunMessageLoop(window);
    g_running = false;
    return exitCode;
}

}  // namespace merovan

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return merovan::Run(instance);
}

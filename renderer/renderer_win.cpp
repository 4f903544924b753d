#include "renderer/renderer_win.h"

#include <cstdarg>
#include <cwchar>
#include <memory>
#include <vector>

#include "common/program_names.h"
#include "renderer/animation_clock.h"
#include "renderer/frame_pacer.h"
#include "renderer/gl_api.h"
#include "renderer/monitor_layout.h"
#include "renderer/picture_loader.h"
#include "renderer/pointer_watch.h"
#include "renderer/snapshot_paths.h"
#include "renderer/switches.h"
#include "renderer/win_handles.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace merovan {
namespace {

constexpr int kWindowWidth = 1024;  // whatever the size of the screen, without /monitors
constexpr int kWindowHeight = 768;
constexpr BYTE kDepthBits = 16;
// A paced loop waits for its timer or a message; this bounds a wait that nothing ends.
constexpr DWORD kLongestTimerWaitMs = 100;

// The waitable timer of a paced run, with the finer system timer it may need.
struct PacingTimer {
    UniqueHandle handle;
    bool raisedTimerResolution = false;
    ~PacingTimer() {
        if (raisedTimerResolution) {
            timeEndPeriod(1);
        }
    }
};

// Everything the renderer holds for its life. Run owns it; the window procedure finds it
// through the window's user data.
struct RendererState {
    RendererSwitches switches;
    DrawOrder order = DrawOrder::kLeastFill;
    LARGE_INTEGER counterFrequency{};
    LARGE_INTEGER startCount{};  // the animation's time zero

    HWND window = nullptr;
    UniqueWindowDC windowDC;  // the class has its own DC: kept for the life of the window
    UniqueGlContext context;  // none when no pixel format or context could be had
    bool hasContext = false;  // the context is current
    int32_t width = 0;        // client size from the last WM_SIZE
    int32_t height = 0;
    std::vector<MonitorView> monitors;  // with /monitors: one view each

    bool running = false;       // frames are drawn only while set
    bool endRequested = false;  // input that ends an /anyinput run came
    bool escapeHeld = false;
    PointerWatch pointer;

    PictureRequest pictures;
    UniqueHandle picturesReady;  // set by the loader's thread: declared before the loader
    std::unique_ptr<PictureLoader> loader;
    bool picturesShown = false;  // uploaded: from now on frames show the scene
    bool blankShown = false;
    Scene scene;

    std::unique_ptr<FramePacer> pacer;
    PacingTimer timer;
    bool waitingForTimer = false;
};

double CounterSeconds(const RendererState& state) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(state.counterFrequency.QuadPart);
}

void DebugPrint(const wchar_t* format, ...) {
    wchar_t line[1024];
    va_list args;
    va_start(args, format);
    std::vswprintf(line, sizeof line / sizeof line[0], format, args);
    va_end(args);
    OutputDebugStringW(line);
}

void SetupPixelFormat(HDC deviceContext) {
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = static_cast<BYTE>(GetDeviceCaps(deviceContext, BITSPIXEL));
    format.cDepthBits = kDepthBits;
    const int index = ChoosePixelFormat(deviceContext, &format);
    DebugPrint(L"PixelFormat Selected: %d\nBPP: %d\n", index,
               GetDeviceCaps(deviceContext, BITSPIXEL));
    SetPixelFormat(deviceContext, index, &format);
}

void ReleaseContext(RendererState& state) {
    if (state.hasContext) {
        // The textures go while their context is still current.
        state.scene.sheets.clear();
        state.scene.background.Release();
    }
    state.context.reset();
    state.hasContext = false;
}

// The frames of a paced run: swap interval 1 where the driver offers it, checked by the
// pacer, and otherwise a timer to the display's refresh.
void SetUpPacing(RendererState& state) {
    using SwapIntervalFunction = BOOL(WINAPI*)(int);
    const auto setSwapInterval = reinterpret_cast<SwapIntervalFunction>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    const bool swapIntervalSet = setSwapInterval != nullptr && setSwapInterval(1);

    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    const uint32_t hz = EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)
                            ? static_cast<uint32_t>(mode.dmDisplayFrequency)
                            : 0;
    state.pacer = std::make_unique<FramePacer>(RefreshPeriodSeconds(hz), swapIntervalSet);

    state.timer.handle.reset(CreateWaitableTimerExW(
        nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
    if (!state.timer.handle) {
        // Older systems: a plain timer, with the system's timer made fine enough for it.
        state.timer.handle.reset(CreateWaitableTimerW(nullptr, FALSE, nullptr));
        state.timer.raisedTimerResolution = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
    DebugPrint(L"Paced frames: %u Hz, swap interval %ls\n", hz, swapIntervalSet ? L"on" : L"off");
}

void AfterSwap(RendererState& state) {
    if (!state.pacer || !state.timer.handle) {
        return;
    }
    const double wait = state.pacer->AfterSwap(CounterSeconds(state));
    if (wait <= 0.0) {
        return;
    }
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(wait * 1e7);  // relative, in 100 ns units
    state.waitingForTimer =
        SetWaitableTimer(state.timer.handle.get(), &due, 0, nullptr, nullptr, FALSE) != FALSE;
}

// The stop on Escape, or on any input with /anyinput.
void Stop(RendererState& state) {
    state.running = false;
    ReleaseContext(state);
    PostQuitMessage(0);
}

// Asked once a frame rather than told by pointer messages: the pointer counts wherever it
// is, also beyond a window smaller than the screen, which gets no moves from there.
bool PointerEndsRun(RendererState& state) {
    if (!state.switches.anyInputEnds) {
        return false;
    }
    POINT where;
    return GetCursorPos(&where) && state.pointer.MoveEnds(where.x, where.y, CounterSeconds(state));
}

const wchar_t* WhyUntextured(const PictureRead& read) {
    switch (read.fault) {
        case PictureFault::kNotWritten:
            return L"the run could not write it";
        case PictureFault::kCannotOpen:
            return L"the file cannot be opened";
        case PictureFault::kUnreadable:
            switch (read.status) {
                case BmpStatus::kNotBitmap:
                    return L"the file is not a bitmap";
                case BmpStatus::kUnsupported:
                    return L"the bitmap is not an uncompressed 24-bit one";
                case BmpStatus::kBadDimensions:
                    return L"the bitmap has no size or a side over 16384 pixels";
                default:
                    return L"the file is cut short or damaged";
            }
        case PictureFault::kNoMemory:
            return L"there is not enough memory to prepare it";
        default:
            return L"it could not be prepared";
    }
}

// One debug line for each picture that is drawn in the vertex colours, saying why.
void ReportUntexturedPictures(const PictureRequest& request, const PreparedPictures& pictures) {
    PictureRead sheet{pictures.sheets.empty() ? PictureFault::kFailed : PictureFault::kNone};
    for (const PreparedPicture& part : pictures.sheets) {
        sheet = part.read ? sheet : part.read;
    }
    const struct {
        const wchar_t* name;
        const std::filesystem::path& path;
        const PictureRead& read;
    } reports[] = {{L"sheet", request.sheetPath, sheet},
                   {L"background", request.backgroundPath, pictures.background.read}};
    for (const auto& report : reports) {
        if (!report.read) {
            DebugPrint(L"Merovan: the %ls is drawn without its picture %ls: %ls.\n", report.name,
                       report.path.empty() ? L"(none)" : report.path.c_str(),
                       WhyUntextured(report.read));
        }
    }
}

// True once the scene can be drawn: the prepared pictures have been uploaded.
bool PicturesShown(RendererState& state) {
    if (!state.picturesShown && state.loader->Ready()) {
        const PreparedPictures pictures = state.loader->Take();
        ReportUntexturedPictures(state.pictures, pictures);
        UploadPictures(state.scene, pictures);
        state.picturesShown = true;
    }
    return state.picturesShown;
}

void OnCreate(RendererState& state, HWND window) {
    state.window = window;
    state.windowDC = WindowDCOf(window);
    const HDC dc = state.windowDC.get();
    SetupPixelFormat(dc);
    state.context.reset(wglCreateContext(dc));
    // Without a context the renderer still runs, drawing nothing, until Escape.
    state.hasContext = state.context && wglMakeCurrent(dc, state.context.get()) != FALSE;
}

void OnSize(RendererState& state, LPARAM lParam) {
    state.width = LOWORD(lParam);
    state.height = HIWORD(lParam);
    if (state.hasContext) {
        glViewport(0, 0, state.width, state.height == 0 ? 1 : state.height);
    }
}

void OnPaint(RendererState& state) {
    if (!state.running) {
        return;  // left invalid on purpose: the loop's first look then finds a paint waiting
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double time =
        AnimationSeconds(state.startCount.QuadPart, now.QuadPart, state.counterFrequency.QuadPart);
    if (state.escapeHeld || state.endRequested || PointerEndsRun(state)) {
        Stop(state);
        return;
    }
    if (state.hasContext) {
        if (PicturesShown(state)) {
            DrawFrame(state.scene, time, state.order);
            SwapBuffers(state.windowDC.get());
            AfterSwap(state);
        } else if (!state.blankShown) {
            // Until the pictures are ready the window stays black.
            DrawBlank();
            SwapBuffers(state.windowDC.get());
            state.blankShown = true;
        }
    }
    ValidateRect(state.window, nullptr);
}

void OnKeyDown(RendererState& state, WPARAM key) {
    state.escapeHeld = state.escapeHeld || key == VK_ESCAPE;
    state.endRequested = state.endRequested || state.switches.anyInputEnds;
}

void OnEndingInput(RendererState& state) {
    state.endRequested = state.endRequested || state.switches.anyInputEnds;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* state = reinterpret_cast<RendererState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            OnCreate(*state, window);
            return 0;
        case WM_DESTROY:
            ReleaseContext(*state);
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            OnSize(*state, lParam);
            return 0;
        case WM_PAINT:
            OnPaint(*state);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(*state, wParam);
            return 0;
        case WM_KEYUP:
            state->escapeHeld = state->escapeHeld && wParam != VK_ESCAPE;
            return 0;
        case WM_SYSKEYDOWN:
            // Alt and F10 come as system keys. They end an /anyinput run too; Alt+F4 and the
            // like keep their usual meaning.
            state->endRequested = state->endRequested || state->switches.anyInputEnds;
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            OnEndingInput(*state);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Waits, when there is reason to, before the loop asks for the next frame. False when a
// message came first, which the loop then takes before drawing.
bool WaitForFrame(RendererState& state) {
    if (state.waitingForTimer) {
        const HANDLE timer = state.timer.handle.get();
        if (MsgWaitForMultipleObjects(1, &timer, FALSE, kLongestTimerWaitMs, QS_ALLINPUT) ==
            WAIT_OBJECT_0 + 1) {
            return false;
        }
        state.waitingForTimer = false;
        return true;
    }
    if (!state.hasContext || !state.picturesShown) {
        // Nothing changes on the screen until the pictures are ready, or ever without a
        // context; a message (a key held down) gets a frame of its own, which looks at it.
        const HANDLE ready = state.picturesReady.get();
        MsgWaitForMultipleObjects(state.hasContext ? 1 : 0, &ready, FALSE, INFINITE, QS_ALLINPUT);
    }
    return true;
}

int RunMessageLoop(RendererState& state) {
    MSG message{};
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    while (message.message != WM_QUIT) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else if (WaitForFrame(state)) {
            InvalidateRect(state.window, nullptr, FALSE);
        }
    }
    return static_cast<int>(message.wParam);
}

std::vector<PixelRect> Monitors() {
    std::vector<PixelRect> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info)) {
                const RECT& r = info.rcMonitor;
                reinterpret_cast<std::vector<PixelRect>*>(data)->push_back(
                    PixelRect{r.left, r.top, r.right, r.bottom});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

PixelRect VirtualScreen() {
    const int32_t left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int32_t top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return PixelRect{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

PictureRequest RequestFor(const RendererState& state) {
    PictureRequest request;
    if (state.switches.snapshots) {
        request.sheetPath = state.switches.snapshots->sheet;
        request.backgroundPath = state.switches.snapshots->background;
    } else {
        request.sheetPath = SnapshotFilePath(kSheetSnapshot);
        request.backgroundPath = SnapshotFilePath(kBackgroundSnapshot);
    }
    for (const MonitorView& view : state.monitors) {
        request.sheetParts.push_back(
            PicturePart{view.pictureX, view.pictureFirstRow, view.width, view.height});
    }
    return request;
}

std::vector<SceneView> ViewsOf(const RendererState& state) {
    if (state.monitors.empty()) {
        return {SceneView{0, 0, state.width, state.height == 0 ? 1 : state.height}};
    }
    std::vector<SceneView> views;
    for (const MonitorView& m : state.monitors) {
        views.push_back(SceneView{m.viewportX, m.viewportY, m.width, m.height});
    }
    return views;
}

}  // namespace

int Run(HINSTANCE instance, const wchar_t* commandLine, DrawOrder order) {
    RendererState state;
    state.order = order;
    state.switches = ParseRendererSwitches(commandLine != nullptr ? commandLine : L"");
    QueryPerformanceFrequency(&state.counterFrequency);

    // A pop-up at CW_USEDEFAULT lands in the top-left corner of the screen.
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = kWindowWidth, height = kWindowHeight;
    if (state.switches.everyMonitor) {
        const PixelRect screen = VirtualScreen();
        state.monitors = LayOutMonitors(screen, Monitors());
        if (state.monitors.empty()) {
            state.monitors = LayOutMonitors(screen, {screen});
        }
        x = screen.left;
        y = screen.top;
        width = screen.Width();
        height = screen.Height();
    }
    // The pictures are read and prepared while the window and its context are made.
    state.pictures = RequestFor(state);
    state.picturesReady.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    state.loader = std::make_unique<PictureLoader>(
        state.pictures, [ready = state.picturesReady.get()] { SetEvent(ready); });

    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = nullptr;  // no pointer over the window
    windowClass.lpszClassName = kRendererWindowClass;
    if (!RegisterClassW(&windowClass)) {
        return 0;
    }
    // Above every other window, and with no taskbar button or Alt+Tab entry, as a
    // screensaver's window is.
    const HWND window =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kRendererWindowClass,
                        kRendererWindowTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y,
                        width, height, nullptr, nullptr, instance, &state);
    if (window == nullptr) {
        return 0;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    POINT pointer{};
    GetCursorPos(&pointer);
    state.pointer.Start(pointer.x, pointer.y, CounterSeconds(state));

    // The clock starts before the scene is set up: loading the pictures counts as animation
    // time.
    QueryPerformanceCounter(&state.startCount);
    if (state.hasContext) {
        InitScene(state.scene, ViewsOf(state));
        if (state.switches.pacedFrames) {
            SetUpPacing(state);
        }
    }
    state.running = true;
    const int exitCode = RunMessageLoop(state);
    state.running = false;
    // The window outlives this function until the process ends; it must not reach the state.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return exitCode;
}

}  // namespace merovan

// Owners for the renderer's Win32 and WGL handles: each is given back exactly once, by its
// owner.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace merovan {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;

// A window's device context, from GetDC to ReleaseDC.
struct WindowDCReleaser {
    HWND window = nullptr;
    void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
using UniqueWindowDC = std::unique_ptr<std::remove_pointer_t<HDC>, WindowDCReleaser>;

inline UniqueWindowDC WindowDCOf(HWND window) {
    return UniqueWindowDC(GetDC(window), WindowDCReleaser{window});
}

// A rendering context. It is made not current first: a context current on a thread is not
// deleted.
struct GlContextDeleter {
    void operator()(HGLRC context) const {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context);
    }
};
using UniqueGlContext = std::unique_ptr<std::remove_pointer_t<HGLRC>, GlContextDeleter>;

}  // namespace merovan

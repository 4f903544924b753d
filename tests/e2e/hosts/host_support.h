// What the test hosts share: the window standing for the display settings' little
// monitor, and saving a picture.
#pragma once

#include <windows.h>

// A borderless white window at (100, 100) whose client area is the little monitor's screen.
inline HWND MakePreviewParent(int width, int height) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"PreviewHost";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"PreviewHost", L"PreviewHost", WS_POPUP | WS_VISIBLE, 100, 100,
                           width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Writes a 24-bit picture held in a DIB section as a bitmap file.
inline void SaveBitmap(const wchar_t* path, const BITMAPINFOHEADER& header, const void* bits) {
    const DWORD stride = (header.biWidth * 3 + 3) & ~3u;
    const DWORD height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + stride * height;
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &header, sizeof header, &written, nullptr);
    WriteFile(out, bits, stride * height, &written, nullptr);
    CloseHandle(out);
}

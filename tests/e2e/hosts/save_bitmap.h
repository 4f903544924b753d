// Writes a 24-bit picture held in a DIB section as a bitmap file, for the test hosts.
#pragma once

#include <windows.h>

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

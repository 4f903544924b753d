#include "frontend/desktop_picture_win.h"

#include "common/bitmap_rows.h"
#include "forms/bmp_file.h"
#include "forms/handles.h"

namespace merovan {

std::optional<std::vector<uint8_t>> DesktopPictureFile(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    // Top-down, so that the rows lie in memory in the order the file stores them. A 1:1
    // copy: a mirrored StretchBlt lands one row off under Wine.
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    const forms::WindowDC screen(nullptr);
    const forms::MemoryDC canvas(screen.Get());
    void* bits = nullptr;
    const forms::UniqueBitmap picture(
        CreateDIBSection(canvas.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture || bits == nullptr)
        return std::nullopt;
    {
        const forms::Selection selected(canvas.Get(), picture.get());
        // The screen's DC spans every monitor, so monitors left of or above the primary one
        // are read at negative coordinates.
        if (!BitBlt(canvas.Get(), 0, 0, width, height, screen.Get(), area.left, area.top,
                    SRCCOPY)) {
            return std::nullopt;
        }
    }
    GdiFlush();  // GDI may still be drawing into the bitmap
    return forms::EncodeBmp24(width, height, static_cast<const uint8_t*>(bits),
                              BitmapRowBytes(width, 24));
}

}  // namespace merovan

#include "forms/picture_surface.h"

#include <algorithm>

namespace forms {

bool PictureSurface::Create(HWND parent, int x, int y, int width, int height) {
    MakeBitmap(width, height);
    // Controls on the surface draw themselves, its picture beneath them included.
    FormStyle style = ChildStyle(parent, x, y, width, height);
    style.style |= WS_CLIPCHILDREN;
    return Form::Create(style);
}

void PictureSurface::MakeBitmap(int width, int height) {
    selected_.reset();
    bitmap_.reset();
    bits_ = nullptr;
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = height_;  // bottom-up, like the files we write
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_) {
        width_ = height_ = 0;
        return;
    }
    bits_ = static_cast<uint8_t*>(bits);
    std::fill(bits_, bits_ + Stride() * height_, uint8_t{0});  // black
    selected_.emplace(canvas_.Get(), bitmap_.get());
}

void PictureSurface::PaintContent(HDC dc) {
    BitBlt(dc, 0, 0, width_, height_, canvas_.Get(), 0, 0, SRCCOPY);
}

}  // namespace forms

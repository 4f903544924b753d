#include "forms/image_control.h"

namespace forms {

HBITMAP LoadPicture(int id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void DrawPicture(HDC dc, HBITMAP picture, int x, int y) {
    if (picture == nullptr)
        return;
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    MemoryDC source(dc);
    Selection selected(source.Get(), picture);
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
}

bool ImageControl::Create(HWND parent, int x, int y, int width, int height, int pictureId,
                          COLORREF background) {
    picture_.reset(LoadPicture(pictureId));
    if (picture_) {
        BITMAP info{};
        GetObjectW(picture_.get(), sizeof info, &info);
        pictureSize_ = SIZE{info.bmWidth, info.bmHeight};
    }
    background_ = background;
    return Form::Create(ChildStyle(parent, x, y, width, height));
}

void ImageControl::PaintContent(HDC dc) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    UniqueBrush brush(CreateSolidBrush(background_));
    FillRect(dc, &client, brush.get());
    DrawPicture(dc, picture_.get(), 0, 0);
}

}  // namespace forms

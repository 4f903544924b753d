#include "forms/graphics.h"

#include <cmath>

#include "forms/handles.h"
#include "forms/mnemonic.h"
#include "forms/program.h"

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

HFONT CreateFontFor(const FontSpec& spec) {
    constexpr double kPointsPerInch = 72.0;
    LOGFONTW log{};
    log.lfHeight = -static_cast<LONG>(std::lround(spec.sizePoints * ScreenDpiY() / kPointsPerInch));
    log.lfWeight = spec.weight;
    log.lfUnderline = spec.underline;
    log.lfCharSet = static_cast<BYTE>(spec.charset);
    lstrcpynW(log.lfFaceName, spec.faceName.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&log);
}

void Label::Draw(HDC dc) const {
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const Selection selectedFont(dc, font);
    UINT format = (mnemonic ? 0 : DT_NOPREFIX) | (centred ? DT_CENTER : DT_LEFT);
    format |= wrap ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE;
    RECT area = rect;
    // Wrapped text shows the whole lines that fit the label's height; the rest is cut off.
    LONG bottom = rect.bottom;
    if (wrap) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const LONG line = metrics.tmHeight > 0 ? metrics.tmHeight : 1;
        bottom = rect.top + (rect.bottom - rect.top) / line * line;
    }
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, bottom);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), -1, &area, format);
    RestoreDC(dc, saved);
    SetBkMode(dc, oldMode);
}

void Label::AutoSize(HDC measuring) {
    const Selection selectedFont(measuring, font);
    const std::wstring shown = mnemonic ? WithoutMnemonic(text) : text;
    SIZE size{};
    GetTextExtentPoint32W(measuring, shown.c_str(), static_cast<int>(shown.size()), &size);
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
}

void Image::SetPicture(HBITMAP picture) {
    picture_ = picture;
    BITMAP info{};
    if (IsRectEmpty(&rect) && picture != nullptr && GetObjectW(picture, sizeof info, &info)) {
        rect.right = rect.left + info.bmWidth;
        rect.bottom = rect.top + info.bmHeight;
    }
}

void Image::Draw(HDC dc) const {
    BITMAP info{};
    if (picture_ == nullptr || !GetObjectW(picture_, sizeof info, &info))
        return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width == info.bmWidth && height == info.bmHeight) {
        DrawPicture(dc, picture_, rect.left, rect.top);
        return;
    }
    MemoryDC source(dc);
    Selection selected(source.Get(), picture_);
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);  // as HALFTONE asks
    StretchBlt(dc, rect.left, rect.top, width, height, source.Get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}

void Outline::Draw(HDC dc) const {
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

}  // namespace forms

#include "controls/push_button.h"

#include <windowsx.h>

#include <cmath>

#include "controls/push_button_resources.h"
#include "forms/graphics.h"
#include "forms/program.h"

namespace controls {
namespace {

constexpr UINT kPointerWatchMs = 100;
constexpr UINT_PTR kPointerWatchId = 1;
constexpr int kLabelHeightTwips = 195;
constexpr COLORREF kTransparentBack = RGB(0xEC, 0xE9, 0xD8);

// The description of `width` × `height` 24-bit pixels, top row first.
BITMAPINFO TopDown24(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A face picture from this program's resources, as top-down pixels.
Pixels LoadFace(int id) {
    Pixels face;
    forms::UniqueBitmap bitmap(forms::LoadPicture(id));
    if (!bitmap)
        return face;
    BITMAP info{};
    GetObjectW(bitmap.get(), sizeof info, &info);
    BITMAPINFO request = TopDown24(info.bmWidth, info.bmHeight);
    const int stride = (info.bmWidth * 3 + 3) & ~3;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * info.bmHeight);
    const forms::WindowDC screen(nullptr);
    if (!GetDIBits(screen.Get(), bitmap.get(), 0, info.bmHeight, rows.data(), &request,
                   DIB_RGB_COLORS)) {
        return face;
    }
    face = Pixels(info.bmWidth, info.bmHeight);
    for (int y = 0; y < info.bmHeight; ++y) {
        std::copy(rows.begin() + y * stride, rows.begin() + y * stride + info.bmWidth * 3,
                  face.bgr.begin() + static_cast<size_t>(y) * info.bmWidth * 3);
    }
    return face;
}

const Pixels& FacePicture(Face face) {
    static const Pixels normal = LoadFace(IDB_FACE_NORMAL);
    static const Pixels highLight = LoadFace(IDB_FACE_HIGHLIGHT);
    static const Pixels pressed = LoadFace(IDB_FACE_PRESSED);
    static const Pixels selected = LoadFace(IDB_FACE_SELECTED);
    static const Pixels disable = LoadFace(IDB_FACE_DISABLE);
    switch (face) {
        case Face::kHighLight:
        case Face::kHighLightSelect:
            return highLight;
        case Face::kPressed:
            return pressed;
        case Face::kSelected:
            return selected;
        case Face::kDisable:
            return disable;
        default:
            return normal;
    }
}

COLORREF ToColorRef(uint32_t colour) {
    return static_cast<COLORREF>(colour & 0x00FFFFFF);
}

}  // namespace

forms::FontSpec DefaultButtonFont() {
    forms::FontSpec font;
    font.faceName = L"ＭＳ Ｐゴシック";
    font.sizePoints = 9.75;
    font.weight = FW_NORMAL;
    font.charset = SHIFTJIS_CHARSET;
    return font;
}

PushButton::PushButton()
    : logic_(*this),
      pointerWatch_(*this, kPointerWatchId, kPointerWatchMs, [this] { CheckPointer(); }) {
    font_ = DefaultButtonFont();
}

bool PushButton::Create(HWND parent, int x, int y, int width, int height) {
    forms::FormStyle style = forms::ChildStyle(parent, x, y, width, height);
    style.style |= WS_TABSTOP;
    surface_ = Pixels(width, height);
    if (!Form::Create(style))
        return false;
    UseFont(font_);
    return true;
}

void PushButton::DrawFace(Face face, bool reverseGradient) {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    surface_ = Pixels(client.right, client.bottom);
    PaintGradient(surface_, reverseGradient);
    PaintFrame(surface_, FacePicture(face));
    // The persistent image in the layout a device-independent bitmap wants: rows padded to
    // four bytes.
    const size_t stride = (static_cast<size_t>(surface_.width) * 3 + 3) & ~size_t{3};
    faceRows_.assign(stride * surface_.height, 0);
    for (int y = 0; y < surface_.height; ++y) {
        std::copy(surface_.At(0, y), surface_.At(0, y) + surface_.width * 3,
                  faceRows_.begin() + y * stride);
    }
    Invalidate();
}

RECT PushButton::CaptionRect() const {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const int dpi = forms::ScreenDpi();
    const int heightTwips = MulDiv(client.bottom, forms::kTwipsPerInch, dpi);
    const double topTwips = CaptionTopTwips(heightTwips, kLabelHeightTwips);
    RECT label = client;
    label.top = static_cast<LONG>(std::lround(topTwips * dpi / forms::kTwipsPerInch));
    label.bottom = label.top + MulDiv(kLabelHeightTwips, dpi, forms::kTwipsPerInch);
    return label;
}

void PushButton::PaintContent(HDC dc) {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    if (opaque_ && surface_.width == client.right && surface_.height == client.bottom) {
        BITMAPINFO info = TopDown24(surface_.width, surface_.height);
        SetDIBitsToDevice(dc, 0, 0, surface_.width, surface_.height, 0, 0, 0, surface_.height,
                          faceRows_.data(), &info, DIB_RGB_COLORS);
    } else {
        forms::UniqueBrush back(CreateSolidBrush(kTransparentBack));
        FillRect(dc, &client, back.get());
    }
    // The caption: a transparent label across the whole width.
    RECT label = CaptionRect();
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const forms::Selection font(dc, fontHandle_.get());
    const UINT format = DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
    if (captionEnabled_) {
        SetTextColor(dc, ToColorRef(captionColour_));
        DrawTextW(dc, caption_.c_str(), -1, &label, format);
    } else {
        // The platform's disabled text: a light copy one pixel down and right, grey on top.
        RECT shadow = label;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, caption_.c_str(), -1, &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, caption_.c_str(), -1, &label, format);
    }
    SetBkMode(dc, oldMode);
}

void PushButton::SetCaptionEnabled(bool enabled) {
    captionEnabled_ = enabled;
    Invalidate();
}

void PushButton::SetCaptionColour(uint32_t colour) {
    captionColour_ = colour;
    Invalidate();
}

void PushButton::ShowCaption(const std::wstring& caption) {
    caption_ = caption;
    Invalidate();
}

void PushButton::UseFont(const forms::FontSpec& font) {
    font_ = font;
    fontHandle_.reset(forms::CreateFontFor(font));
    Invalidate();
}

void PushButton::SetOpaque(bool opaque) {
    opaque_ = opaque;
    Invalidate();
}

void PushButton::StartPointerWatch() {
    pointerWatch_.SetEnabled(true);
}

void PushButton::RaiseClick() {
    if (Click)
        Click();
}

void PushButton::OnButtonDown(int16_t button) {
    // The button-up must reach the button that got the button-down, wherever it happens.
    SetCapture(Hwnd());
    logic_.MouseDown(button);
    if (GetFocus() != Hwnd())
        SetFocus(Hwnd());
}

void PushButton::OnButtonUp(int16_t button) {
    if (GetCapture() == Hwnd())
        ReleaseCapture();
    logic_.MouseUp(button);
}

void PushButton::OnMouseMove(LPARAM lParam) {
    // While the button holds the capture, moves outside it are not over it.
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (PtInRect(&client, at))
        logic_.MouseMove();
}

void PushButton::CheckPointer() {
    POINT at{};
    GetCursorPos(&at);
    const HWND under = WindowFromPoint(at);
    const PointerOver where = under == Hwnd()              ? PointerOver::kThisButton
                              : under == GetParent(Hwnd()) ? PointerOver::kParent
                                                           : PointerOver::kElsewhere;
    logic_.LeaveCheck(where);
}

LRESULT PushButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            OnButtonDown(kLeftButton);
            return 0;
        case WM_RBUTTONDOWN:
            OnButtonDown(kRightButton);
            return 0;
        case WM_MBUTTONDOWN:
            OnButtonDown(kMiddleButton);
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(kLeftButton);
            return 0;
        case WM_RBUTTONUP:
            OnButtonUp(kRightButton);
            return 0;
        case WM_MBUTTONUP:
            OnButtonUp(kMiddleButton);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(lParam);
            return 0;
        case WM_SETFOCUS:
            logic_.FocusGained();
            return 0;
        case WM_KILLFOCUS:
            logic_.FocusLost();
            return 0;
        case WM_SIZE:
            logic_.Resized();
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

}  // namespace controls

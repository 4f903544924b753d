#include "controls/push_button.h"

#include <windowsx.h>

#include "controls/push_button_resources.h"
#include "forms/mnemonic.h"
#include "forms/program.h"

namespace controls {
namespace {

constexpr UINT kPointerWatchMs = 100;
constexpr UINT_PTR kPointerWatchTimerId = 1;
constexpr COLORREF kCaptionColour = RGB(0, 0, 0);
constexpr int kFaceIds[] = {IDB_FACE_NORMAL, IDB_FACE_HIGHLIGHT, IDB_FACE_PRESSED,
                            IDB_FACE_SELECTED, IDB_FACE_DISABLE};

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

// A face picture from this program's resources.
std::optional<Pixels> LoadFace(int id) {
    forms::UniqueBitmap bitmap(forms::LoadPicture(id));
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap.get(), sizeof info, &info))
        return std::nullopt;
    Pixels face(info.bmWidth, info.bmHeight);
    BITMAPINFO request = TopDown24(face.width, face.height);
    const forms::WindowDC screen(nullptr);
    if (!GetDIBits(screen.Get(), bitmap.get(), 0, face.height, face.bgr.data(), &request,
                   DIB_RGB_COLORS)) {
        return std::nullopt;
    }
    return face;
}

}  // namespace

std::optional<ButtonFaces> ButtonFaces::Load() {
    ButtonFaces faces;
    for (size_t i = 0; i < faces.pictures_.size(); ++i) {
        std::optional<Pixels> picture = LoadFace(kFaceIds[i]);
        if (!picture)
            return std::nullopt;
        faces.pictures_[i] = std::move(*picture);
    }
    return faces;
}

const Pixels& ButtonFaces::Picture(Face face) const {
    switch (face) {
        case Face::kHighLight:
        case Face::kHighLightSelect:
            return pictures_[1];
        case Face::kPressed:
            return pictures_[2];
        case Face::kSelected:
            return pictures_[3];
        case Face::kDisable:
            return pictures_[4];
        default:
            return pictures_[0];
    }
}

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
      pointerWatch_(*this, kPointerWatchTimerId, kPointerWatchMs, [this] { CheckPointer(); }) {}

bool PushButton::Create(HWND parent, int x, int y, int width, int height,
                        const ButtonFaces& faces, HFONT font) {
    faces_ = &faces;
    font_ = font;
    forms::FormStyle style = forms::ChildStyle(parent, x, y, width, height);
    style.style |= WS_TABSTOP;
    if (!Form::Create(style))
        return false;
    logic_.ShowLook();
    return true;
}

void PushButton::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    Invalidate();
}

void PushButton::SetEnabled(bool enabled) {
    EnableWindow(Hwnd(), enabled);
    logic_.SetEnabled(enabled);
    forms::AnnounceStateChange(Hwnd());
}

void PushButton::Press() {
    if (IsWindowEnabled(Hwnd()) && Click)
        Click();
}

forms::AccessibleFacts PushButton::Facts() const {
    forms::AccessibleFacts facts;
    facts.role = ROLE_SYSTEM_PUSHBUTTON;
    facts.name = forms::WithoutMnemonic(caption_);
    facts.shortcut = forms::MnemonicShortcut(caption_);
    facts.defaultAction = L"Press";
    facts.focusable = true;
    return facts;
}

void PushButton::DrawFace(Face face, bool shadeOnTop) {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    face_ = Pixels(client.right, client.bottom);
    PaintGradient(face_, shadeOnTop);
    PaintFrame(face_, faces_->Picture(face));
    Invalidate();
}

void PushButton::PaintContent(HDC dc) {
    // Every resize redraws the face at the new size before the window is painted.
    BITMAPINFO info = TopDown24(face_.width, face_.height);
    SetDIBitsToDevice(dc, 0, 0, face_.width, face_.height, 0, 0, 0, face_.height, face_.bgr.data(),
                      &info, DIB_RGB_COLORS);
    // The caption: a transparent label across the whole width.
    const CaptionRows rows = CaptionPlace(face_.height, forms::ScreenDpiY());
    RECT label{0, rows.top, face_.width, rows.bottom};
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const forms::Selection font(dc, font_);
    const UINT format = DT_CENTER | DT_TOP | DT_SINGLELINE;  // '&' marks the mnemonic
    if (captionEnabled_) {
        SetTextColor(dc, kCaptionColour);
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

void PushButton::StartPointerWatch() {
    pointerWatch_.SetEnabled(true);
}

void PushButton::RaiseClick() {
    if (Click)
        Click();
}

void PushButton::OnButtonDown(MouseButton button) {
    // The button-up must reach the button that got the button-down, wherever it happens.
    SetCapture(Hwnd());
    logic_.MouseDown(button);
    if (GetFocus() != Hwnd())
        SetFocus(Hwnd());
}

void PushButton::OnButtonUp(MouseButton button) {
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
    if (WindowFromPoint(at) != Hwnd())
        logic_.PointerLeft();
}

LRESULT PushButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            OnButtonDown(MouseButton::kLeft);
            return 0;
        case WM_RBUTTONDOWN:
            OnButtonDown(MouseButton::kRight);
            return 0;
        case WM_MBUTTONDOWN:
            OnButtonDown(MouseButton::kMiddle);
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(MouseButton::kLeft);
            return 0;
        case WM_RBUTTONUP:
            OnButtonUp(MouseButton::kRight);
            return 0;
        case WM_MBUTTONUP:
            OnButtonUp(MouseButton::kMiddle);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(lParam);
            return 0;
        case WM_SETFOCUS:
            logic_.FocusGained();
            return 0;
        case WM_KILLFOCUS:
            spaceDown_ = false;
            logic_.FocusLost();
            return 0;
        case WM_SIZE:
            logic_.ShowLook();
            return 0;
        case WM_GETDLGCODE:
            return forms::PressedByEnterCode(lParam);
        case WM_KEYDOWN:
            if (wParam == VK_RETURN)
                Press();
            else if (wParam == VK_SPACE)
                spaceDown_ = true;
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && spaceDown_) {
                spaceDown_ = false;
                Press();
            }
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

}  // namespace controls

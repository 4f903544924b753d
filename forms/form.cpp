#include "forms/form.h"

#include "forms/graphics.h"
#include "forms/timer.h"

namespace forms {

namespace {

constexpr wchar_t kClassName[] = L"MerovanForm";

}  // namespace

FormStyle ChildStyle(HWND parent, int x, int y, int width, int height) {
    FormStyle style;
    style.style = WS_CHILD | WS_VISIBLE;
    style.parent = parent;
    style.x = x;
    style.y = y;
    style.width = width;
    style.height = height;
    return style;
}

LRESULT PressedByEnterCode(LPARAM lParam) {
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    const bool enter = key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
    return DLGC_BUTTON | (enter ? DLGC_WANTMESSAGE : 0);
}

Form::~Form() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

bool Form::Create(const FormStyle& style) {
    // Every form shares one window class; registering it again fails, harmlessly.
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    if (style.backColour)
        background_.reset(CreateSolidBrush(*style.backColour));
    window_ = CreateWindowExW(0, kClassName, style.caption.c_str(), style.style, style.x, style.y,
                              style.width, style.height, style.parent, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        return false;
    for (Timer* timer : timers_)
        timer->Arm();
    if (style.icon != nullptr) {
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(style.icon));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(style.icon));
    }
    return true;
}

void Form::Show(int command) const {
    ShowWindow(window_, command);
}

void Form::Move(int x, int y, int width, int height) const {
    MoveWindow(window_, x, y, width, height, TRUE);
}

void Form::Invalidate() const {
    InvalidateRect(window_, nullptr, FALSE);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandling(message, wParam, lParam);
}

void Form::PaintContent(HDC) {}

void Form::Paint(HDC dc) {
    PaintContent(dc);
    for (const Graphic* graphic : graphics_)
        graphic->Draw(dc);
    PaintOverlay(dc);
}

void Form::PaintParentBeneath(HDC dc) const {
    const HWND parent = GetParent(window_);
    POINT origin{0, 0};
    MapWindowPoints(window_, parent, &origin, 1);
    POINT old{};
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

Graphic* Form::GraphicAt(LPARAM lParam) const {
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it) {
        if ((*it)->Contains(at))
            return *it;
    }
    return nullptr;
}

// Presses on windowless controls and the pointer over them; true when handled here.
bool Form::OnGraphicMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            Graphic* graphic = GraphicAt(lParam);
            if (graphic == nullptr)
                return false;
            if (message == WM_LBUTTONDOWN)
                pressed_ = graphic;
            if (graphic->Press)
                graphic->Press();
            return true;
        }
        case WM_LBUTTONUP: {
            Graphic* graphic = GraphicAt(lParam);
            const bool clicked = graphic != nullptr && graphic == pressed_;
            pressed_ = nullptr;
            if (clicked && graphic->Click)
                graphic->Click();
            return clicked;
        }
        default:
            return false;
    }
}

LRESULT Form::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Form::OnTimer(UINT_PTR id) {
    for (Timer* timer : timers_) {
        if (timer->id_ == id) {
            timer->onTick_();
            return;
        }
    }
}

void Form::OnSetCursor() {
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(window_, &at);
    const Graphic* graphic = GraphicAt(MAKELPARAM(at.x, at.y));
    HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW);
    if (graphic != nullptr && graphic->cursor != nullptr)
        cursor = graphic->cursor;
    const Form* top = FromWindow(GetAncestor(window_, GA_ROOT));
    if (top != nullptr && top->busyPointer_ != nullptr)
        cursor = top->busyPointer_;
    SetCursor(cursor);
}

void Form::SetBusyPointer(HCURSOR pointer) {
    busyPointer_ = pointer;
    SetCursor(pointer != nullptr ? pointer : LoadCursorW(nullptr, IDC_ARROW));
}

// The form of one of this program's windows; null for any other window, such as the one a
// preview is shown in, which belongs to another program.
Form* Form::FromWindow(HWND window) {
    if (window == nullptr ||
        GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&WindowProc)) {
        return nullptr;
    }
    return reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool Form::OnEraseBackground(HDC dc) {
    if (DrawsItself())
        return true;  // the content covers the whole client area
    if (!background_)
        return false;
    RECT client{};
    GetClientRect(window_, &client);
    FillRect(dc, &client, background_.get());
    return true;
}

void Form::OnDestroyed() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

// What every form does the same way is handled here; the rest goes to the form's own
// HandleMessage.
LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    if (form->OnGraphicMessage(message, wParam, lParam))
        return 0;
    switch (message) {
        case WM_TIMER:
            form->OnTimer(wParam);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT)
                break;
            form->OnSetCursor();
            return TRUE;
        case WM_ERASEBKGND:
            if (!form->OnEraseBackground(reinterpret_cast<HDC>(wParam)))
                break;
            return 1;
        case WM_PAINT:
            if (!form->DrawsItself())
                break;
            {
                PaintScope paint(window);
                form->Paint(paint.Get());
            }
            return 0;
        case WM_PRINTCLIENT:
            if (!form->DrawsItself())
                break;
            form->Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_GETOBJECT:
            if (static_cast<LONG>(lParam) != OBJID_CLIENT || form->Accessibility() == nullptr)
                break;
            return AnswerGetObject(window, wParam, [](HWND described) -> AccessibleSource* {
                Form* owner = FromWindow(described);
                return owner != nullptr ? owner->Accessibility() : nullptr;
            });
        case WM_NCDESTROY:
            form->OnDestroyed();
            return DefWindowProcW(window, message, wParam, lParam);
        default:
            break;
    }
    return form->HandleMessage(message, wParam, lParam);
}

}  // namespace forms

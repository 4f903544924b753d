#include "controls/caption_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/mnemonic.h"

namespace controls {
namespace {

// The dotted focus frame stands one pixel outside the caption.
constexpr int kCueMargin = 1;

RECT Union(const RECT& a, const RECT& b) {
    if (IsRectEmpty(&a))
        return b;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool IsArrow(WPARAM key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

}  // namespace

bool CaptionControl::CreateAround(HWND parent, POINT captionAt, const std::wstring& caption,
                                  HFONT font, const RECT& extra) {
    caption_.text = caption;
    caption_.font = font;
    caption_.mnemonic = true;
    caption_.rect = RECT{captionAt.x, captionAt.y, captionAt.x, captionAt.y};
    {
        const forms::WindowDC measuring(parent);
        caption_.AutoSize(measuring.Get());
    }
    RECT cue = caption_.rect;
    InflateRect(&cue, kCueMargin, kCueMargin);
    const RECT place = Union(extra, cue);
    forms::FormStyle style =
        forms::ChildStyle(parent, place.left, place.top, place.right - place.left,
                          place.bottom - place.top);
    style.style |= WS_TABSTOP;
    if (!Form::Create(style))
        return false;
    OffsetRect(&caption_.rect, -place.left, -place.top);
    AddGraphic(caption_);
    return true;
}

void CaptionControl::SetTabStop(bool stop) const {
    const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    SetWindowLongPtrW(Hwnd(), GWL_STYLE, stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
}

void CaptionControl::PaintOverlay(HDC dc) {
    if (GetFocus() != Hwnd())
        return;
    RECT cue = caption_.rect;
    InflateRect(&cue, kCueMargin, kCueMargin);
    DrawFocusRect(dc, &cue);
}

forms::AccessibleFacts CaptionControl::CaptionFacts(long role) const {
    forms::AccessibleFacts facts;
    facts.role = role;
    facts.name = forms::WithoutMnemonic(caption_.text);
    facts.shortcut = forms::MnemonicShortcut(caption_.text);
    facts.focusable = true;
    return facts;
}

LRESULT CaptionControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(Hwnd(), nullptr, FALSE);
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

bool MarkOption::Create(HWND parent, MarkKind kind, const RECT& mark, POINT captionAt,
                        const std::wstring& caption, HFONT font, const MarkPictures& pictures) {
    kind_ = kind;
    pictures_ = pictures;
    if (!CreateAround(parent, captionAt, caption, font, mark))
        return false;
    RECT place{};
    GetWindowRect(Hwnd(), &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    mark_.rect = mark;
    OffsetRect(&mark_.rect, -place.left, -place.top);
    mark_.SetPicture(pictures_.off);
    AddGraphic(mark_);
    // A choice is taken on any mouse button's press, an on/off option on a left click.
    for (forms::Graphic* part : {static_cast<forms::Graphic*>(&mark_),
                                 static_cast<forms::Graphic*>(&caption_)}) {
        if (kind_ == MarkKind::kChoice)
            part->Press = [this] { Take(); };
        else
            part->Click = [this] { Take(); };
    }
    return true;
}

void MarkOption::SetOn(bool on) {
    on_ = on;
    mark_.SetPicture(on ? pictures_.on : pictures_.off);
    Invalidate();
    forms::AnnounceStateChange(Hwnd());
}

void MarkOption::Take() {
    SetFocus(Hwnd());
    if (Activate)
        Activate();
}

forms::AccessibleFacts MarkOption::Facts() const {
    forms::AccessibleFacts facts =
        CaptionFacts(kind_ == MarkKind::kChoice ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON);
    facts.state = on_ ? STATE_SYSTEM_CHECKED : 0;
    facts.defaultAction = on_ && kind_ == MarkKind::kOnOff ? L"Uncheck" : L"Check";
    return facts;
}

void MarkOption::DoDefaultAction() {
    Take();
}

LRESULT MarkOption::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_BUTTON |
                   (kind_ == MarkKind::kChoice ? DLGC_RADIOBUTTON : 0);
        case WM_KEYDOWN:
            if (IsArrow(wParam)) {
                if (Arrow)
                    Arrow(wParam == VK_RIGHT || wParam == VK_DOWN ? 1 : -1);
                return 0;
            }
            if (wParam == VK_SPACE) {
                Take();
                return 0;
            }
            return DefaultHandling(message, wParam, lParam);
        default:
            return CaptionControl::HandleMessage(message, wParam, lParam);
    }
}

bool Link::Create(HWND parent, POINT at, const std::wstring& caption, const std::wstring& target,
                  HFONT font, COLORREF colour, HCURSOR hand) {
    target_ = target;
    caption_.colour = colour;
    caption_.cursor = hand;
    caption_.Click = [this] {
        SetFocus(Hwnd());
        DoDefaultAction();
    };
    if (!CreateAround(parent, at, caption, font, RECT{}))
        return false;
    AddTooltip();
    return true;
}

void Link::AddTooltip() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(),
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    if (tooltip_ == nullptr)
        return;  // the link works without it
    // The link hands the tooltip its pointer moves itself: a subclass would hide the link's
    // own window procedure, by which its form is found.
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = Hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Hwnd());
    tool.lpszText = const_cast<wchar_t*>(target_.c_str());
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

forms::AccessibleFacts Link::Facts() const {
    forms::AccessibleFacts facts = CaptionFacts(ROLE_SYSTEM_LINK);
    facts.value = target_;
    facts.defaultAction = L"Jump";
    facts.state = STATE_SYSTEM_LINKED;
    return facts;
}

void Link::DoDefaultAction() {
    if (Open)
        Open();
}

LRESULT Link::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return forms::PressedByEnterCode(lParam);  // Enter opens the link, not saves
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_SPACE) {
                DoDefaultAction();
                return 0;
            }
            return DefaultHandling(message, wParam, lParam);
        case WM_MOUSEMOVE:
            if (tooltip_ != nullptr) {
                MSG move{Hwnd(), message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
                GetCursorPos(&move.pt);
                SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
            }
            return 0;
        default:
            return CaptionControl::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace controls

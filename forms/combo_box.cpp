#include "forms/combo_box.h"

#include <vector>

#include "forms/accessible.h"
#include "forms/mnemonic.h"

namespace forms {

namespace {

constexpr int kListRows = 12;  // how far the list drops
// What our procedure on the field keeps: the field's own procedure, what it takes, and
// what it tells screen readers.
constexpr wchar_t kFieldState[] = L"Merovan.FieldState";

struct FieldState final : AccessibleSource {
    WNDPROC own = nullptr;
    HWND combo = nullptr;
    bool digitsOnly = false;
    std::wstring label;  // with its mnemonic

    AccessibleFacts Facts() const override {
        AccessibleFacts facts;
        facts.role = ROLE_SYSTEM_TEXT;
        facts.name = WithoutMnemonic(label);
        facts.shortcut = MnemonicShortcut(label);
        std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(combo)) + 1);
        GetWindowTextW(combo, text.data(), static_cast<int>(text.size()));
        facts.value = text.data();
        // The field inside a disabled box is not disabled itself, but it cannot be reached.
        facts.focusable = IsWindowEnabled(combo) != FALSE;
        if (!facts.focusable)
            facts.state = STATE_SYSTEM_UNAVAILABLE;
        return facts;
    }
};

FieldState* StateOf(HWND field) {
    return static_cast<FieldState*>(GetPropW(field, kFieldState));
}

std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner))
        return text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Pastes the clipboard's digits, without the blanks or line break a copy may bring
// around them; anything else is refused with a beep, as a typed letter is.
void PasteDigits(HWND field) {
    std::wstring text = ClipboardText(field);
    const wchar_t* blanks = L" \t\r\n";
    text.erase(0, text.find_first_not_of(blanks));
    text.erase(text.find_last_not_of(blanks) + 1);
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos) {
        MessageBeep(MB_OK);
        return;
    }
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CALLBACK Field(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    FieldState* state = StateOf(field);
    const WNDPROC own = state->own;
    switch (message) {
        case WM_PASTE:
            if (!state->digitsOnly)
                break;
            PasteDigits(field);
            return 0;
        case WM_GETOBJECT:
            if (static_cast<LONG>(lParam) != OBJID_CLIENT || state->label.empty())
                break;
            return AnswerGetObject(field, wParam, [](HWND described) -> AccessibleSource* {
                return StateOf(described);
            });
        case WM_NCDESTROY:
            SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
            RemovePropW(field, kFieldState);
            delete state;
            break;
        default:
            break;
    }
    return CallWindowProcW(own, field, message, wParam, lParam);
}

}  // namespace

bool ComboBox::Create(HWND parent, int x, int y, int width, int height, HFONT font) {
    // The height of a drop-down combo box's window includes its list.
    window_ = CreateWindowExW(
        0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, x, y,
        width, height * kListRows, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr)
        return false;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(window_, &info) || info.hwndItem == nullptr)
        return false;
    field_ = info.hwndItem;
    auto* state = new FieldState;
    state->combo = window_;
    state->own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(field_, GWLP_WNDPROC));
    SetPropW(field_, kFieldState, state);
    SetWindowLongPtrW(field_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Field));
    return true;
}

void ComboBox::SetAccessibleLabel(const std::wstring& caption) const {
    StateOf(field_)->label = caption;
}

std::wstring ComboBox::Text() const {
    const int length = GetWindowTextLengthW(window_);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    GetWindowTextW(window_, buffer.data(), length + 1);
    return std::wstring(buffer.data());
}

void ComboBox::TakeDigitsOnly(int maxDigits) const {
    // ES_NUMBER refuses typed characters other than digits, but lets any paste through.
    SetWindowLongPtrW(field_, GWL_STYLE, GetWindowLongPtrW(field_, GWL_STYLE) | ES_NUMBER);
    SendMessageW(window_, CB_LIMITTEXT, static_cast<WPARAM>(maxDigits), 0);
    StateOf(field_)->digitsOnly = true;
}

void ComboBox::AddItem(const std::wstring& item) const {
    SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

}  // namespace forms

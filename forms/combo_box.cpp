#include "forms/combo_box.h"

#include <vector>

namespace forms {

namespace {

constexpr int kListRows = 12;  // how far the list drops
// The field's own window procedure, kept on the field while ours filters its pastes.
constexpr wchar_t kFieldProcedure[] = L"Merovan.FieldProcedure";

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

LRESULT CALLBACK DigitsField(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto own = reinterpret_cast<WNDPROC>(GetPropW(field, kFieldProcedure));
    if (message == WM_PASTE) {
        PasteDigits(field);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        RemovePropW(field, kFieldProcedure);
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
    return true;
}

std::wstring ComboBox::Text() const {
    const int length = GetWindowTextLengthW(window_);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    GetWindowTextW(window_, buffer.data(), length + 1);
    return std::wstring(buffer.data());
}

void ComboBox::TakeDigitsOnly(int maxDigits) const {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(window_, &info) || info.hwndItem == nullptr)
        return;
    const HWND field = info.hwndItem;
    // ES_NUMBER refuses typed characters other than digits, but lets any paste through.
    SetWindowLongPtrW(field, GWL_STYLE, GetWindowLongPtrW(field, GWL_STYLE) | ES_NUMBER);
    SendMessageW(window_, CB_LIMITTEXT, static_cast<WPARAM>(maxDigits), 0);
    SetPropW(field, kFieldProcedure,
             reinterpret_cast<HANDLE>(GetWindowLongPtrW(field, GWLP_WNDPROC)));
    SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DigitsField));
}

void ComboBox::AddItem(const std::wstring& item) const {
    SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

}  // namespace forms

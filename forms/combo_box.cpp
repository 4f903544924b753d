#include "forms/combo_box.h"

#include <vector>

namespace forms {

namespace {
constexpr int kListRows = 12;  // how far the list drops
}

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

void ComboBox::AddItem(const std::wstring& item) const {
    SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

}  // namespace forms

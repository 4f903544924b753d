// A drop-down combo box: an edit field with a list below it.
#pragma once

#include <windows.h>

#include <string>

namespace forms {

class ComboBox {
  public:
    bool Create(HWND parent, int x, int y, int width, int height, HFONT font);
    HWND Hwnd() const { return window_; }
    // The edit field inside it, which takes the focus.
    HWND FieldHwnd() const { return field_; }
    // A screen reader announces the field as editable text named by its label's caption,
    // whose mnemonic ("&Repeat") is the field's shortcut.
    void SetAccessibleLabel(const std::wstring& caption) const;
    void SetText(const std::wstring& text) const { SetWindowTextW(window_, text.c_str()); }
    std::wstring Text() const;
    void AddItem(const std::wstring& item) const;
    void SetEnabled(bool enabled) const { EnableWindow(window_, enabled); }
    // From now on its field takes digits only, at most `maxDigits` of them: other keys are
    // refused as they are typed, and a paste of anything but digits is refused whole.
    void TakeDigitsOnly(int maxDigits) const;

  private:
    HWND window_ = nullptr;  // destroyed with its parent
    HWND field_ = nullptr;
};

}  // namespace forms

// The preview form: a still picture of the effect filling the display settings' little
// monitor at any size, living as long as the window it was put into.
#pragma once

#include <windows.h>

#include "forms/form.h"
#include "forms/handles.h"
#include "forms/timer.h"

namespace merovan {

class PreviewForm : public forms::Form {
  public:
    PreviewForm();
    // Puts the form into `parent`, sized to it, and shows it. False when `parent` cannot
    // hold a preview: the process then ends at once.
    bool Start(HWND parent);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintContent(HDC dc) override;
    bool DrawsItself() const override { return true; }

  private:
    void CheckParent();

    forms::UniqueBitmap picture_;
    forms::Timer parentCheck_;
    HWND parent_ = nullptr;
};

}  // namespace merovan

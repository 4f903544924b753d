// The gradient push button: a child window that turns mouse, focus and timer messages
// into PushButtonLogic calls and draws the faces the logic asks for. Its caption is a label
// without a window of its own, so the pointer over the caption is over the button.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "controls/face_painter.h"
#include "controls/push_button_logic.h"
#include "forms/form.h"
#include "forms/graphics.h"
#include "forms/handles.h"
#include "forms/timer.h"

namespace controls {

// The pictures the buttons cut their frames from. The window that places buttons loads
// them once and hands them to each.
class ButtonFaces {
  public:
    // From the program's resources, which the controls library brings with it; none when
    // a picture cannot be read.
    static std::optional<ButtonFaces> Load();
    const Pixels& Picture(Face face) const;

  private:
    std::array<Pixels, 5> pictures_;  // Normal, HighLight, Pressed, Selected, Disable
};

class PushButton : public forms::Form, private PushButtonView {
  public:
    PushButton();

    // Creates the button at (x, y) in its parent, size in pixels, in the tab order after
    // the controls created before it. `faces` must outlive the button.
    bool Create(HWND parent, int x, int y, int width, int height, const ButtonFaces& faces);
    void SetCaption(const std::wstring& caption);
    // Starts following the pointer; the host calls it once its buttons exist.
    void StartTracking() { logic_.StartTracking(); }
    void SetEnabled(bool enabled) { logic_.SetEnabled(enabled); }

    std::function<void()> Click;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintContent(HDC dc) override;
    bool DrawsItself() const override { return true; }

  private:
    // PushButtonView
    void DrawFace(Face face, bool shadeOnTop) override;
    void SetCaptionEnabled(bool enabled) override;
    void StartPointerWatch() override;
    void RaiseClick() override;

    void OnButtonDown(MouseButton button);
    void OnButtonUp(MouseButton button);
    void OnMouseMove(LPARAM lParam);
    void CheckPointer();

    PushButtonLogic logic_;
    forms::Timer pointerWatch_;
    const ButtonFaces* faces_ = nullptr;
    Pixels face_;  // as last drawn; kept until the next state change redraws it
    std::wstring caption_;
    forms::UniqueFont font_;
    bool captionEnabled_ = true;
};

// The font of the buttons and of the labels beside them: "ＭＳ Ｐゴシック" 9.75 pt.
forms::FontSpec DefaultButtonFont();

}  // namespace controls

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
#include "forms/accessible.h"
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

class PushButton : public forms::Form, private PushButtonView, private forms::AccessibleSource {
  public:
    PushButton();

    // Creates the button at (x, y) in its parent, size in pixels, in the tab order after
    // the controls created before it. `faces` and `font` must outlive the button.
    bool Create(HWND parent, int x, int y, int width, int height, const ButtonFaces& faces,
                HFONT font);
    // "&" before a letter makes it the button's mnemonic.
    void SetCaption(const std::wstring& caption);
    const std::wstring& Caption() const { return caption_; }
    // Starts following the pointer; the host calls it once its buttons exist.
    void StartTracking() { logic_.StartTracking(); }
    // A disabled button takes neither the pointer nor the focus.
    void SetEnabled(bool enabled);
    // Raises Click when the button is enabled: its key or its mnemonic was pressed.
    void Press();

    std::function<void()> Click;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintContent(HDC dc) override;
    bool DrawsItself() const override { return true; }
    forms::AccessibleSource* Accessibility() override { return this; }

  private:
    // PushButtonView
    void DrawFace(Face face, bool shadeOnTop) override;
    void SetCaptionEnabled(bool enabled) override;
    void StartPointerWatch() override;
    void RaiseClick() override;

    // AccessibleSource
    forms::AccessibleFacts Facts() const override;
    void DoDefaultAction() override { Press(); }

    void OnButtonDown(MouseButton button);
    void OnButtonUp(MouseButton button);
    void OnMouseMove(LPARAM lParam);
    void CheckPointer();

    PushButtonLogic logic_;
    forms::Timer pointerWatch_;
    const ButtonFaces* faces_ = nullptr;
    Pixels face_;  // as last drawn; kept until the next state change redraws it
    std::wstring caption_;
    HFONT font_ = nullptr;
    bool captionEnabled_ = true;
    bool spaceDown_ = false;  // Space was pressed on the button; its release clicks
};

// The font of the buttons and of the labels beside them: "ＭＳ Ｐゴシック" 9.75 pt.
forms::FontSpec DefaultButtonFont();

}  // namespace controls

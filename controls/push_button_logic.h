// The push button's behaviour without Windows: its state over the pointer, the mouse
// buttons and the focus, and the face each change draws. The control's window turns
// messages into these calls and draws what the logic asks for through PushButtonView.
#pragma once

namespace controls {

// The stored face pictures; HighLightSelect is drawn with the HighLight picture.
enum class Face { kNormal, kHighLight, kPressed, kSelected, kDisable, kHighLightSelect };

// What the button's logic does to the outside.
class PushButtonView {
  public:
    virtual ~PushButtonView() = default;
    // Redraws the whole face: the gradient (shade at the top when `shadeOnTop`) under the
    // frame cut from `face`.
    virtual void DrawFace(Face face, bool shadeOnTop) = 0;
    // Shows the caption normally, or greyed as the platform shows disabled text.
    virtual void SetCaptionEnabled(bool enabled) = 0;
    virtual void StartPointerWatch() = 0;  // the 100 ms leave check
    virtual void RaiseClick() = 0;
};

enum class MouseButton { kLeft, kRight, kMiddle };

class PushButtonLogic {
  public:
    explicit PushButtonLogic(PushButtonView& view) : view_(view) {}

    // Starts following the pointer. Until then the pointer over the button changes nothing.
    void StartTracking();

    void MouseDown(MouseButton button);
    void MouseMove();
    void MouseUp(MouseButton button);
    void FocusGained();
    void FocusLost();
    // The leave check found the pointer over another window.
    void PointerLeft();
    // Draws the enabled or the disabled look, as after a resize.
    void ShowLook();
    // A disabled button keeps its state and face through every event and never clicks.
    void SetEnabled(bool enabled);

  private:
    enum class State { kUntracked, kIdle, kHot, kFocused, kFocusedHot };

    void PaintFace(Face face);

    PushButtonView& view_;
    State state_ = State::kUntracked;
    bool shadeOnTop_ = false;
    bool leftButtonDown_ = false;
    bool enabled_ = true;
};

}  // namespace controls

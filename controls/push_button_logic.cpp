#include "controls/push_button_logic.h"

namespace controls {

void PushButtonLogic::StartTracking() {
    state_ = State::kIdle;
    view_.StartPointerWatch();
}

void PushButtonLogic::PaintFace(Face face) {
    // The gradient follows the state, not the picture; a focused button under the pointer
    // keeps the direction it had.
    if (state_ == State::kIdle || state_ == State::kFocused)
        shadeOnTop_ = false;
    else if (state_ == State::kHot)
        shadeOnTop_ = true;
    view_.DrawFace(face, shadeOnTop_);
}

void PushButtonLogic::ShowLook() {
    PaintFace(enabled_ ? Face::kNormal : Face::kDisable);
    view_.SetCaptionEnabled(enabled_);
}

void PushButtonLogic::SetEnabled(bool enabled) {
    enabled_ = enabled;
    ShowLook();
}

void PushButtonLogic::MouseDown(MouseButton button) {
    if (!enabled_ || button != MouseButton::kLeft)
        return;
    leftButtonDown_ = true;
    PaintFace(Face::kPressed);
}

void PushButtonLogic::MouseMove() {
    if (!enabled_)
        return;
    if (state_ == State::kIdle) {
        state_ = State::kHot;
        PaintFace(Face::kHighLight);
    } else if (state_ == State::kFocused && !leftButtonDown_) {
        state_ = State::kFocusedHot;
        PaintFace(Face::kHighLightSelect);
    }
}

void PushButtonLogic::MouseUp(MouseButton button) {
    if (!enabled_)
        return;
    if (button == MouseButton::kLeft) {
        leftButtonDown_ = false;
        if (state_ == State::kHot)
            PaintFace(Face::kNormal);
        if (state_ == State::kFocusedHot)
            PaintFace(Face::kHighLightSelect);
    }
    // Any mouse button clicks, but not on a focused button that is not under the pointer:
    // a press dragged off it and released.
    if (state_ != State::kFocused)
        view_.RaiseClick();
}

void PushButtonLogic::FocusGained() {
    if (!enabled_)
        return;
    if (state_ == State::kHot) {
        state_ = State::kFocusedHot;
        PaintFace(Face::kPressed);
    } else {
        state_ = State::kFocused;
        PaintFace(Face::kSelected);
    }
}

void PushButtonLogic::FocusLost() {
    if (!enabled_ || state_ == State::kIdle)
        return;
    state_ = State::kIdle;
    PaintFace(Face::kNormal);
}

void PushButtonLogic::PointerLeft() {
    if (!enabled_)
        return;
    if (state_ == State::kHot) {
        state_ = State::kIdle;
        PaintFace(Face::kNormal);
    } else if (state_ == State::kFocusedHot) {
        state_ = State::kFocused;
        PaintFace(Face::kSelected);
    }
}

}  // namespace controls

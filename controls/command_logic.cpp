#include "controls/command_logic.h"

namespace controls {

using forms::PropertyStore;
using forms::PropertyValue;

void CommandLogic::Initialize() {
    ButtonState = kIdle;
    view_.StartPointerWatch();
}

void CommandLogic::PaintFace(Face face) {
    // The gradient follows the state, not the picture; a focused button under the pointer
    // keeps the direction it had.
    switch (ButtonState) {
        case kIdle:
            ReverseGradient = kFalse;
            break;
        case kHot:
            ReverseGradient = kTrue;
            break;
        case kFocused:
            ReverseGradient = kFalse;
            break;
        default:
            break;
    }
    view_.DrawFace(face, ReverseGradient != kFalse);
}

void CommandLogic::ShowEnabledLook() {
    if (EnabledFlag != kFalse) {
        PaintFace(Face::kNormal);
        view_.SetCaptionEnabled(true);
    } else {
        PaintFace(Face::kDisable);
        view_.SetCaptionEnabled(false);
    }
}

void CommandLogic::ApplyNormalLook() {
    if (EnabledFlag == kFalse)
        return;
    view_.SetCaptionEnabled(true);
    if (FirstRunFlag == 0)
        view_.SetCaptionColour(0);
    PaintFace(Face::kNormal);
}

void CommandLogic::MouseDown(int16_t button) {
    if (EnabledFlag == kFalse || button != kLeftButton)
        return;
    MouseIsDown = kTrue;
    PaintFace(Face::kPressed);
}

void CommandLogic::MouseMove() {
    if (EnabledFlag == kFalse)
        return;
    if (ButtonState == kIdle) {
        ButtonState = kHot;
        PaintFace(Face::kHighLight);
    }
    if (ButtonState == kFocused && MouseIsDown == kFalse) {
        ButtonState = kFocusedHot;
        PaintFace(Face::kHighLightSelect);
    }
}

void CommandLogic::MouseUp(int16_t button) {
    if (EnabledFlag == kFalse)
        return;
    if (button == kLeftButton) {
        MouseIsDown = kFalse;
        if (ButtonState == kHot)
            PaintFace(Face::kNormal);
        if (ButtonState == kFocusedHot)
            PaintFace(Face::kHighLightSelect);
    }
    // Any button, but only a button whose Enabled is exactly true.
    if (ButtonState != kFocused && EnabledFlag == kTrue)
        view_.RaiseClick();
}

void CommandLogic::FocusGained() {
    if (EnabledFlag == kFalse)
        return;
    if (ButtonState != kHot) {
        ButtonState = kFocused;
        PaintFace(Face::kSelected);
    }
    if (ButtonState == kHot) {
        ButtonState = kFocusedHot;
        PaintFace(Face::kPressed);
    }
}

void CommandLogic::FocusLost() {
    if (EnabledFlag == kFalse || ButtonState == kIdle)
        return;
    ButtonState = kIdle;
    PaintFace(Face::kNormal);
}

void CommandLogic::LeaveCheck(PointerOver where) {
    if (where != PointerOver::kThisButton)
        PointerLeft();
}

void CommandLogic::PointerLeft() {
    if (EnabledFlag == kFalse)
        return;
    if (ButtonState == kHot) {
        ButtonState = kIdle;
        PaintFace(Face::kNormal);
    }
    if (ButtonState == kFocusedHot) {
        ButtonState = kFocused;
        PaintFace(Face::kSelected);
    }
}

void CommandLogic::SetVisible(uint8_t visible) {
    if (visible == 0) {
        BackStyle = 0;
        view_.SetOpaque(false);
    } else {
        BackStyle = 1;
        view_.SetOpaque(true);
        ApplyNormalLook();
    }
    view_.NotifyChanged(L"Visible");
}

uint8_t CommandLogic::Visible() {
    if (BackStyle == 0)
        return 0;
    ApplyNormalLook();
    return 255;
}

void CommandLogic::SetFontColour(uint32_t colour) {
    view_.SetCaptionColour(colour);
    ApplyNormalLook();
    view_.NotifyChanged(L"FontColour");
}

uint32_t CommandLogic::FontColour() {
    const uint32_t colour = view_.CaptionColour();
    ApplyNormalLook();
    return colour;
}

void CommandLogic::SetEnabled(int16_t enabled) {
    EnabledFlag = enabled;
    view_.NotifyChanged(L"Enabled");
    ShowEnabledLook();
}

void CommandLogic::FirstRunInitialisation() {
    if (FirstRunFlag != 0)
        return;
    ApplyNormalLook();
    FirstRunFlag = 1;
    EnabledFlag = kTrue;
}

int16_t CommandLogic::Enabled() {
    FirstRunInitialisation();
    const int16_t result = EnabledFlag;
    ShowEnabledLook();
    return result;
}

void CommandLogic::SetCaption(const std::wstring& caption) {
    view_.ShowCaption(caption);
    view_.NotifyChanged(L"Caption");
}

void CommandLogic::SetFont(const forms::FontSpec& font) {
    view_.UseFont(font);
    view_.NotifyChanged(L"Font");
}

namespace {

constexpr wchar_t kWrittenDefaultCaption[] = L"Command";
constexpr wchar_t kReadDefaultCaption[] = L"Command1";

}  // namespace

void CommandLogic::Restore(const PropertyStore& store, const forms::FontSpec& ambientFont) {
    int32_t number = 0;
    if (PropertyStore::AsNumber(store.Read(L"Enabled", kTrue), number)) {
        EnabledFlag = number != 0 ? kTrue : kFalse;
    }
    const PropertyValue caption = store.Read(L"Caption", std::wstring(kReadDefaultCaption));
    if (const auto* text = std::get_if<std::wstring>(&caption))
        view_.ShowCaption(*text);
    const PropertyValue font = store.Read(L"Font", ambientFont);
    if (const auto* spec = std::get_if<forms::FontSpec>(&font))
        view_.UseFont(*spec);
    if (PropertyStore::AsNumber(store.Read(L"FirstRun", std::wstring(L"1")), number) &&
        number >= 0 && number <= 255) {
        FirstRunFlag = static_cast<uint8_t>(number);
    }
    if (PropertyStore::AsNumber(store.Read(L"FontColour", std::wstring(L"0")), number)) {
        view_.SetCaptionColour(static_cast<uint32_t>(number));
    }
    if (PropertyStore::AsNumber(store.Read(L"Visible", std::wstring(L"1")), number)) {
        BackStyle = number != 0 ? 1 : 0;
        view_.SetOpaque(BackStyle != 0);
    }
    ApplyNormalLook();
}

void CommandLogic::Save(PropertyStore& store, const forms::FontSpec& ambientFont) {
    store.Write(L"Enabled", static_cast<int32_t>(EnabledFlag != kFalse ? kTrue : kFalse), kTrue);
    store.Write(L"Caption", view_.CaptionText(), std::wstring(kWrittenDefaultCaption));
    store.Write(L"FirstRun", static_cast<int32_t>(FirstRunFlag), std::wstring(L"1"));
    store.Write(L"Font", view_.CaptionFont(), ambientFont);
    store.Write(L"FontColour", static_cast<int32_t>(view_.CaptionColour()), std::wstring(L"0"));
    store.Write(L"Visible", static_cast<int32_t>(BackStyle), std::wstring(L"1"));
    ApplyNormalLook();
}

}  // namespace controls

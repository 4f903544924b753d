#include "controls/push_button_logic.h"

namespace controls {

using forms::PropertyStore;
using forms::PropertyValue;

void PushButtonLogic::Initialize() {
    state = kIdle;
    view_.StartPointerWatch();
}

void PushButtonLogic::PaintFace(Face face) {
    // The gradient follows the state, not the picture; a focused button under the pointer
    // keeps the direction it had.
    switch (state) {
        case kIdle:
            reverseGradient = kFalse;
            break;
        case kHot:
            reverseGradient = kTrue;
            break;
        case kFocused:
            reverseGradient = kFalse;
            break;
        default:
            break;
    }
    view_.DrawFace(face, reverseGradient != kFalse);
}

void PushButtonLogic::ShowEnabledLook() {
    if (enabledValue != kFalse) {
        PaintFace(Face::kNormal);
        view_.SetCaptionEnabled(true);
    } else {
        PaintFace(Face::kDisable);
        view_.SetCaptionEnabled(false);
    }
}

void PushButtonLogic::ApplyNormalLook() {
    if (enabledValue == kFalse)
        return;
    view_.SetCaptionEnabled(true);
    if (firstRun == 0)
        view_.SetCaptionColour(0);
    PaintFace(Face::kNormal);
}

void PushButtonLogic::MouseDown(int16_t button) {
    if (enabledValue == kFalse || button != kLeftButton)
        return;
    mouseIsDown = kTrue;
    PaintFace(Face::kPressed);
}

void PushButtonLogic::MouseMove() {
    if (enabledValue == kFalse)
        return;
    if (state == kIdle) {
        state = kHot;
        PaintFace(Face::kHighLight);
    }
    if (state == kFocused && mouseIsDown == kFalse) {
        state = kFocusedHot;
        PaintFace(Face::kHighLightSelect);
    }
}

void PushButtonLogic::MouseUp(int16_t button) {
    if (enabledValue == kFalse)
        return;
    if (button == kLeftButton) {
        mouseIsDown = kFalse;
        if (state == kHot)
            PaintFace(Face::kNormal);
        if (state == kFocusedHot)
            PaintFace(Face::kHighLightSelect);
    }
    // Any button, but only a button whose Enabled is exactly true.
    if (state != kFocused && enabledValue == kTrue)
        view_.RaiseClick();
}

void PushButtonLogic::FocusGained() {
    if (enabledValue == kFalse)
        return;
    if (state != kHot) {
        state = kFocused;
        PaintFace(Face::kSelected);
    }
    if (state == kHot) {
        state = kFocusedHot;
        PaintFace(Face::kPressed);
    }
}

void PushButtonLogic::FocusLost() {
    if (enabledValue == kFalse || state == kIdle)
        return;
    state = kIdle;
    PaintFace(Face::kNormal);
}

void PushButtonLogic::LeaveCheck(PointerOver where) {
    if (where != PointerOver::kThisButton)
        PointerLeft();
}

void PushButtonLogic::PointerLeft() {
    if (enabledValue == kFalse)
        return;
    if (state == kHot) {
        state = kIdle;
        PaintFace(Face::kNormal);
    }
    if (state == kFocusedHot) {
        state = kFocused;
        PaintFace(Face::kSelected);
    }
}

void PushButtonLogic::SetVisible(uint8_t visible) {
    if (visible == 0) {
        backStyle = 0;
        view_.SetOpaque(false);
    } else {
        backStyle = 1;
        view_.SetOpaque(true);
        ApplyNormalLook();
    }
}

uint8_t PushButtonLogic::Visible() {
    if (backStyle == 0)
        return 0;
    ApplyNormalLook();
    return 255;
}

void PushButtonLogic::SetFontColour(uint32_t colour) {
    view_.SetCaptionColour(colour);
    ApplyNormalLook();
}

uint32_t PushButtonLogic::FontColour() {
    const uint32_t colour = view_.CaptionColour();
    ApplyNormalLook();
    return colour;
}

void PushButtonLogic::SetEnabled(int16_t enabled) {
    enabledValue = enabled;
    ShowEnabledLook();
}

void PushButtonLogic::FirstRunInitialisation() {
    if (firstRun != 0)
        return;
    ApplyNormalLook();
    firstRun = 1;
    enabledValue = kTrue;
}

int16_t PushButtonLogic::Enabled() {
    FirstRunInitialisation();
    const int16_t result = enabledValue;
    ShowEnabledLook();
    return result;
}

void PushButtonLogic::SetCaption(const std::wstring& caption) {
    view_.ShowCaption(caption);
}

void PushButtonLogic::SetFont(const forms::FontSpec& font) {
    view_.UseFont(font);
}

namespace {

constexpr wchar_t kWrittenDefaultCaption[] = L"Command";
constexpr wchar_t kReadDefaultCaption[] = L"Command1";

}  // namespace

void PushButtonLogic::Restore(const PropertyStore& store, const forms::FontSpec& ambientFont) {
    int32_t number = 0;
    if (PropertyStore::AsNumber(store.Read(L"Enabled", kTrue), number)) {
        enabledValue = number != 0 ? kTrue : kFalse;
    }
    const PropertyValue caption = store.Read(L"Caption", std::wstring(kReadDefaultCaption));
    if (const auto* text = std::get_if<std::wstring>(&caption))
        view_.ShowCaption(*text);
    const PropertyValue font = store.Read(L"Font", ambientFont);
    if (const auto* spec = std::get_if<forms::FontSpec>(&font))
        view_.UseFont(*spec);
    if (PropertyStore::AsNumber(store.Read(L"FirstRun", std::wstring(L"1")), number) &&
        number >= 0 && number <= 255) {
        firstRun = static_cast<uint8_t>(number);
    }
    if (PropertyStore::AsNumber(store.Read(L"FontColour", std::wstring(L"0")), number)) {
        view_.SetCaptionColour(static_cast<uint32_t>(number));
    }
    if (PropertyStore::AsNumber(store.Read(L"Visible", std::wstring(L"1")), number)) {
        backStyle = number != 0 ? 1 : 0;
        view_.SetOpaque(backStyle != 0);
    }
    ApplyNormalLook();
}

void PushButtonLogic::Save(PropertyStore& store, const forms::FontSpec& ambientFont) {
    store.Write(L"Enabled", static_cast<int32_t>(enabledValue != kFalse ? kTrue : kFalse), kTrue);
    store.Write(L"Caption", view_.CaptionText(), std::wstring(kWrittenDefaultCaption));
    store.Write(L"FirstRun", static_cast<int32_t>(firstRun), std::wstring(L"1"));
    store.Write(L"Font", view_.CaptionFont(), ambientFont);
    store.Write(L"FontColour", static_cast<int32_t>(view_.CaptionColour()), std::wstring(L"0"));
    store.Write(L"Visible", static_cast<int32_t>(backStyle), std::wstring(L"1"));
    ApplyNormalLook();
}

}  // namespace controls

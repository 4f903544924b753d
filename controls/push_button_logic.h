// The push button's behaviour without Windows: its state over the pointer, the mouse
// buttons and the focus, the face each change draws, its properties and their
// persistence. The control's window turns messages into these calls and draws what the
// logic asks for through PushButtonView.
#pragma once

#include <cstdint>
#include <string>

#include "forms/property_store.h"

namespace controls {

// The stored face pictures; HighLightSelect is drawn with the HighLight picture.
enum class Face { kNormal, kHighLight, kPressed, kSelected, kDisable, kHighLightSelect };

// What the button's logic does to the outside.
class PushButtonView {
  public:
    virtual ~PushButtonView() = default;
    // Redraws the whole face: gradient (shade at the top when `reverseGradient`), frame
    // cut from `face`, caption placed over it.
    virtual void DrawFace(Face face, bool reverseGradient) = 0;
    virtual void SetCaptionEnabled(bool enabled) = 0;
    virtual void SetCaptionColour(uint32_t colour) = 0;  // 0x00BBGGRR
    virtual uint32_t CaptionColour() const = 0;
    virtual void ShowCaption(const std::wstring& caption) = 0;
    virtual std::wstring CaptionText() const = 0;
    virtual void UseFont(const forms::FontSpec& font) = 0;
    virtual forms::FontSpec CaptionFont() const = 0;
    virtual void SetOpaque(bool opaque) = 0;
    virtual void StartPointerWatch() = 0;  // the 100 ms leave check
    virtual void RaiseClick() = 0;
};

enum MouseButton : int16_t { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// Where the leave check found the pointer.
enum class PointerOver { kThisButton, kParent, kElsewhere };

class PushButtonLogic {
  public:
    enum State : uint8_t { kIdle = 1, kHot = 2, kFocused = 3, kFocusedHot = 4 };

    explicit PushButtonLogic(PushButtonView& view) : view_(view) {}

    // Pointer tracking starts when the host asks for it.
    void Initialize();

    void MouseDown(int16_t button);
    void MouseMove();
    void MouseUp(int16_t button);
    void FocusGained();
    void FocusLost();
    void Resized() { ShowEnabledLook(); }
    void LeaveCheck(PointerOver where);

    // Properties; several reads redraw the face, as the button always has.
    void SetVisible(uint8_t visible);
    uint8_t Visible();
    void SetFontColour(uint32_t colour);
    uint32_t FontColour();
    void SetEnabled(int16_t enabled);
    int16_t Enabled();
    void SetCaption(const std::wstring& caption);
    std::wstring Caption() const { return view_.CaptionText(); }
    void SetFont(const forms::FontSpec& font);
    forms::FontSpec Font() const { return view_.CaptionFont(); }

    // The host's layout: restoring when it recreates the button, saving when it stores it.
    void Restore(const forms::PropertyStore& store, const forms::FontSpec& ambientFont);
    void Save(forms::PropertyStore& store, const forms::FontSpec& ambientFont);

    uint8_t state = 0;
    int16_t reverseGradient = kFalse;
    int16_t mouseIsDown = kFalse;
    int16_t enabledValue = kFalse;
    uint8_t firstRun = 0;
    uint8_t backStyle = 1;  // 1 opaque, 0 transparent

  private:
    void PaintFace(Face face);
    void ShowEnabledLook();
    void ApplyNormalLook();
    void PointerLeft();
    void FirstRunInitialisation();

    PushButtonView& view_;
};

}  // namespace controls

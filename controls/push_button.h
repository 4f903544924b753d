// The gradient push button: a child window that turns mouse, focus and timer messages
// into PushButtonLogic calls and draws the faces the logic asks for. Its caption is a label
// without a window of its own, so the pointer over the caption is over the button.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/push_button_logic.h"
#include "controls/face_painter.h"
#include "forms/form.h"
#include "forms/handles.h"
#include "forms/property_store.h"
#include "forms/timer.h"

namespace controls {

class PushButton : public forms::Form, private PushButtonView {
  public:
    PushButton();

    // Creates the button at (x, y) in its parent, size in pixels, in the tab order after
    // the controls created before it.
    bool Create(HWND parent, int x, int y, int width, int height);

    // The host's stored layout.
    void Restore(const forms::PropertyStore& store, const forms::FontSpec& ambientFont) {
        logic_.Restore(store, ambientFont);
    }
    void Save(forms::PropertyStore& store, const forms::FontSpec& ambientFont) {
        logic_.Save(store, ambientFont);
    }

    // The properties a host sets and reads.
    void Initialize() { logic_.Initialize(); }
    void SetVisible(uint8_t visible) { logic_.SetVisible(visible); }
    uint8_t Visible() { return logic_.Visible(); }
    void SetFontColour(uint32_t colour) { logic_.SetFontColour(colour); }
    uint32_t FontColour() { return logic_.FontColour(); }
    void SetEnabled(int16_t enabled) { logic_.SetEnabled(enabled); }
    int16_t Enabled() { return logic_.Enabled(); }
    void SetCaption(const std::wstring& caption) { logic_.SetCaption(caption); }
    std::wstring Caption() const { return caption_; }
    void SetFont(const forms::FontSpec& font) { logic_.SetFont(font); }
    forms::FontSpec Font() const { return font_; }

    std::function<void()> Click;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintContent(HDC dc) override;
    bool DrawsItself() const override { return true; }

  private:
    // PushButtonView
    void DrawFace(Face face, bool reverseGradient) override;
    void SetCaptionEnabled(bool enabled) override;
    void SetCaptionColour(uint32_t colour) override;
    uint32_t CaptionColour() const override { return captionColour_; }
    void ShowCaption(const std::wstring& caption) override;
    std::wstring CaptionText() const override { return caption_; }
    void UseFont(const forms::FontSpec& font) override;
    forms::FontSpec CaptionFont() const override { return font_; }
    void SetOpaque(bool opaque) override;
    void StartPointerWatch() override;
    void RaiseClick() override;

    void OnButtonDown(int16_t button);
    void OnButtonUp(int16_t button);
    void OnMouseMove(LPARAM lParam);
    void CheckPointer();
    RECT CaptionRect() const;

    PushButtonLogic logic_;
    forms::Timer pointerWatch_;
    Pixels surface_;                 // the persistent face
    std::vector<uint8_t> faceRows_;  // the same, rows padded for drawing
    std::wstring caption_ = L"Command";
    forms::FontSpec font_;
    forms::UniqueFont fontHandle_;
    uint32_t captionColour_ = 0;
    bool captionEnabled_ = true;
    bool opaque_ = true;
};

// The font the buttons of this program show by default: "ＭＳ Ｐゴシック" 9.75 pt.
forms::FontSpec DefaultButtonFont();

}  // namespace controls

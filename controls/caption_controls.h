// Controls made of a caption drawn over the parent's picture, with no background of their
// own: a mark option (one of a group of choices, or an option that is on or off) and a
// link. Each takes the focus, shows it with a dotted frame around its caption, answers the
// keyboard and tells screen readers what it is.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "forms/accessible.h"
#include "forms/form.h"
#include "forms/graphics.h"

namespace controls {

class CaptionControl : public forms::Form, protected forms::AccessibleSource {
  public:
    // "&" before a letter of the caption makes it the control's mnemonic.
    const std::wstring& Caption() const { return caption_.text; }
    void SetTabStop(bool stop) const;

  protected:
    // Creates the window around the caption (and what else the control draws, `extra`),
    // in the parent's client pixels; the caption is measured with `font`.
    bool CreateAround(HWND parent, POINT captionAt, const std::wstring& caption, HFONT font,
                      const RECT& extra);
    // The caption's place in the parent before the window is made, then in the window.
    forms::Label caption_;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintContent(HDC dc) override { PaintParentBeneath(dc); }
    void PaintOverlay(HDC dc) override;
    bool DrawsItself() const override { return true; }
    forms::AccessibleSource* Accessibility() override { return this; }
    // Facts every caption control shares: its name, mnemonic and focusability.
    forms::AccessibleFacts CaptionFacts(long role) const;
};

enum class MarkKind { kChoice, kOnOff };

// The two pictures of a mark; not owned.
struct MarkPictures {
    HBITMAP off = nullptr;
    HBITMAP on = nullptr;
};

// A mark with its caption beside it. A choice is taken by a press of any mouse button on
// its mark or caption, an on/off option is flipped by a left click; Space does either.
class MarkOption : public CaptionControl {
  public:
    // The mark fills `mark`; the caption starts at `captionAt`, both in the parent's pixels.
    bool Create(HWND parent, MarkKind kind, const RECT& mark, POINT captionAt,
                const std::wstring& caption, HFONT font, const MarkPictures& pictures);
    void SetOn(bool on);

    std::function<void()> Activate;        // chosen, or flipped
    std::function<void(int step)> Arrow;  // an arrow key: 1 forward, -1 back

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    forms::AccessibleFacts Facts() const override;
    void DoDefaultAction() override;
    void Take();

    MarkKind kind_ = MarkKind::kChoice;
    MarkPictures pictures_;
    forms::Image mark_;
    bool on_ = false;
};

// Underlined text that opens `target` when clicked, or by Enter or Space; its tooltip and
// its accessible value say what it opens.
class Link : public CaptionControl {
  public:
    bool Create(HWND parent, POINT at, const std::wstring& caption, const std::wstring& target,
                HFONT font, COLORREF colour, HCURSOR hand);
    const std::wstring& Target() const { return target_; }

    std::function<void()> Open;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    forms::AccessibleFacts Facts() const override;
    void DoDefaultAction() override;
    void AddTooltip();

    std::wstring target_;
    HWND tooltip_ = nullptr;  // owned by the top-level window, which destroys it
};

}  // namespace controls

// A window of our own kind: one C++ object per window, found again from the window through
// GWLP_USERDATA. Subclasses handle the messages they care about in HandleMessage.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "forms/accessible.h"
#include "forms/handles.h"

namespace forms {

class Timer;
class Graphic;

struct FormStyle {
    std::wstring caption;
    DWORD style = WS_POPUP;
    HWND parent = nullptr;
    int x = 0, y = 0, width = 0, height = 0;
    std::optional<COLORREF> backColour;  // none: the form's content covers everything
    HICON icon = nullptr;
};

// A visible child window at (x, y) of `parent`, size in pixels.
FormStyle ChildStyle(HWND parent, int x, int y, int width, int height);

// WM_GETDLGCODE's answer for a control pressed like a button: it takes Enter itself (its
// lParam, the key's message) rather than leaving it to the window's default action.
LRESULT PressedByEnterCode(LPARAM lParam);

class Form {
  public:
    Form() = default;
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window (hidden unless the style says WS_VISIBLE).
    bool Create(const FormStyle& style);
    HWND Hwnd() const { return window_; }

    // A windowless control drawn over the form's content, in the order added.
    void AddGraphic(Graphic& graphic) { graphics_.push_back(&graphic); }

    void Show(int command = SW_SHOW) const;
    void Move(int x, int y, int width, int height) const;
    void Invalidate() const;

    // The pointer over this top-level form and every form inside it while set (the
    // hourglass while something slow runs); null shows each form's own pointer again.
    void SetBusyPointer(HCURSOR pointer);

  protected:
    // The form's own message handling; unhandled messages go to DefaultHandling.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Draws the whole client area; forms that draw themselves override it. It serves both
    // WM_PAINT and WM_PRINTCLIENT, so PrintWindow sees what the screen sees.
    virtual void PaintContent(HDC dc);
    virtual bool DrawsItself() const { return false; }
    // Drawn after the windowless controls: a focus cue, say.
    virtual void PaintOverlay(HDC) {}
    // What the form tells screen readers; null leaves it to the system.
    virtual AccessibleSource* Accessibility() { return nullptr; }
    // Draws the parent's content under this form: for a form without a background of its own.
    void PaintParentBeneath(HDC dc) const;
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    friend class Timer;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static Form* FromWindow(HWND window);
    void OnTimer(UINT_PTR id);
    void Paint(HDC dc);
    void OnSetCursor();
    bool OnEraseBackground(HDC dc);
    void OnDestroyed();
    Graphic* GraphicAt(LPARAM lParam) const;
    bool OnGraphicMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    UniqueBrush background_;
    std::vector<Timer*> timers_;
    std::vector<Graphic*> graphics_;
    Graphic* pressed_ = nullptr;
    HCURSOR busyPointer_ = nullptr;
};

}  // namespace forms

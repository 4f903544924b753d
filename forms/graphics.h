// Windowless controls: labels, images and outlines drawn by the form that holds them, on
// top of its own drawing. Presses over them go to their handlers; they never take the
// focus.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace forms {

class Graphic {
  public:
    virtual ~Graphic() = default;
    virtual void Draw(HDC dc) const = 0;

    RECT rect{};                  // in the holder's client pixels
    HCURSOR cursor = nullptr;     // the pointer over it; null: the holder's
    std::function<void()> Press;  // any mouse button pressed over it
    std::function<void()> Click;  // left button down and up over it

    bool Contains(POINT at) const { return PtInRect(&rect, at) != FALSE; }
};

class Label : public Graphic {
  public:
    void Draw(HDC dc) const override;
    // Makes the label exactly as wide and high as its text in one line.
    void AutoSize(HDC measuring);

    std::wstring text;
    COLORREF colour = RGB(0, 0, 0);
    HFONT font = nullptr;  // not owned
    bool centred = false;
    // Long text wraps at word breaks; what does not fit the label's height is cut off.
    bool wrap = false;
    // '&' underlines the letter after it, as a mnemonic; otherwise it shows as it is.
    bool mnemonic = false;
};

// A picture filling its rectangle, smoothly scaled where the sizes differ.
class Image : public Graphic {
  public:
    void Draw(HDC dc) const override;
    // Takes the picture (not owned); an image not yet placed takes the picture's size.
    void SetPicture(HBITMAP picture);

  private:
    HBITMAP picture_ = nullptr;
};

// A thin black rectangle outline, transparent inside.
class Outline : public Graphic {
  public:
    void Draw(HDC dc) const override;
};

struct FontSpec {
    std::wstring faceName;
    double sizePoints = 0;
    int weight = FW_NORMAL;
    bool underline = false;
    int charset = DEFAULT_CHARSET;
};

// The font at the screen's size; the caller owns it.
HFONT CreateFontFor(const FontSpec& spec);

// Loads a bitmap resource of this program; null when there is none.
HBITMAP LoadPicture(int id);
// Draws `picture` at (x, y) at its own size.
void DrawPicture(HDC dc, HBITMAP picture, int x, int y);

}  // namespace forms

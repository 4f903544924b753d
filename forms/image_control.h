// A child window showing a picture at its own size from its top-left corner; the rest of
// the control shows a background colour.
#pragma once

#include <windows.h>

#include "forms/form.h"
#include "forms/handles.h"

namespace forms {

class ImageControl : public Form {
  public:
    // `picture` is a bitmap resource of this program.
    bool Create(HWND parent, int x, int y, int width, int height, int pictureId,
                COLORREF background);
    SIZE PictureSize() const { return pictureSize_; }
    HBITMAP Picture() const { return picture_.get(); }

  protected:
    void PaintContent(HDC dc) override;
    bool DrawsItself() const override { return true; }

  private:
    UniqueBitmap picture_;
    SIZE pictureSize_{};
    COLORREF background_ = RGB(0, 0, 0);
};

// Loads a bitmap resource of this program; null when there is none.
HBITMAP LoadPicture(int id);
// Draws `picture` at (x, y) at its own size.
void DrawPicture(HDC dc, HBITMAP picture, int x, int y);

}  // namespace forms

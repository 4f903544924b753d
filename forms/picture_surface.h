// A child window whose drawing lives in a persistent off-screen bitmap: what is drawn on it
// stays until it is drawn over.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/bitmap_rows.h"
#include "forms/form.h"
#include "forms/handles.h"

namespace forms {

class PictureSurface : public Form {
  public:
    // A black surface of `width` × `height` pixels, no border, that may hold controls.
    bool Create(HWND parent, int x, int y, int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The bitmap's rows: 24-bit blue-green-red, bottom row first, Stride() bytes apart.
    uint8_t* Rows() const { return bits_; }
    size_t Stride() const { return merovan::BitmapRowBytes(width_, 24); }
    // Shows the bitmap's current content.
    void Refresh() const { Invalidate(); }

  protected:
    void PaintContent(HDC dc) override;
    bool DrawsItself() const override { return true; }

  private:
    void MakeBitmap(int width, int height);

    // Declared in this order so that they go in the opposite one: the bitmap is taken out of
    // the canvas before it is deleted (a selected bitmap cannot be), then the canvas goes.
    MemoryDC canvas_;
    UniqueBitmap bitmap_;
    std::optional<Selection> selected_;
    uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace forms

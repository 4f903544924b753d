// A small RGBA canvas for the program's own pictures: fills, source-over blending and
// anti-aliased shapes, enough to draw icons, previews and button faces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace merovan::pictures {

// Straight (not premultiplied) alpha; every channel 0 … 1.
struct Colour {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

constexpr Colour kClear{};

// An opaque colour written as 0xRRGGBB.
constexpr Colour Rgb(uint32_t rgb) {
    return Colour{static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
                  static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
                  static_cast<float>(rgb & 0xFF) / 255.0f, 1.0f};
}

// `from` at t = 0, `to` at t = 1, every channel alike.
Colour Mix(Colour from, Colour to, float t);
// The colour channels multiplied by `k`; alpha kept.
Colour Shaded(Colour c, float k);
// A channel as a byte, rounded.
uint8_t ToByte(float channel);

struct Point {
    float x, y;
};

class Raster {
  public:
    Raster() = default;
    Raster(int width, int height, Colour fill = kClear);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Pixel (x, y), y counted from the top row.
    Colour At(int x, int y) const;
    void Set(int x, int y, Colour c);
    // `c` laid over the pixel at `coverage` (0 … 1) of its own alpha.
    void Blend(int x, int y, Colour c, float coverage = 1.0f);

    // Shapes are in pixel units with (0, 0) the top-left corner of the top-left pixel; edge
    // pixels are covered in proportion (sampled 8 × 8 within each pixel).
    void FillRect(float left, float top, float right, float bottom, Colour c);
    void FillEllipse(float centreX, float centreY, float radiusX, float radiusY, Colour c);
    // Even-odd rule, so a self-crossing outline leaves its inner parts empty.
    void FillPolygon(const std::vector<Point>& corners, Colour c);
    // A rectangle shading from `topColour` along its top edge to `bottomColour` along its
    // bottom edge.
    void FillVerticalGradient(float left, float top, float right, float bottom, Colour topColour,
                              Colour bottomColour);

    // Bilinear sample with (u, v) = (0, 0) the top-left corner and (1, 1) the bottom-right;
    // outside, the nearest edge pixel.
    Colour Sample(float u, float v) const;
    // Each pixel the mean of a factor × factor block; transparent pixels give no colour to
    // their neighbours. Width and height must be multiples of the factor.
    Raster Shrunk(int factor) const;

  private:
    // Blends paint(x, y), taken at each pixel's centre, over the part of the box inside.
    template <typename Inside, typename Paint>
    void FillShape(float left, float top, float right, float bottom, Inside inside, Paint paint);
    Colour Premultiplied(int x, int y) const { return pixels_[Index(x, y)]; }
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }

    int width_ = 0;
    int height_ = 0;
    std::vector<Colour> pixels_;  // premultiplied, top row first
};

}  // namespace merovan::pictures

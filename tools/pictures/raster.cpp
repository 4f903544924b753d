#include "tools/pictures/raster.h"

#include <algorithm>
#include <cmath>

namespace merovan::pictures {
namespace {

constexpr int kSamplesPerSide = 8;

float Clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

}  // namespace

Colour Mix(Colour from, Colour to, float t) {
    return Colour{from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
                  from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Colour Shaded(Colour c, float k) {
    return Colour{c.r * k, c.g * k, c.b * k, c.a};
}

uint8_t ToByte(float channel) {
    return static_cast<uint8_t>(std::lround(Clamp01(channel) * 255.0f));
}

Raster::Raster(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {
    const Colour stored{fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a};
    std::fill(pixels_.begin(), pixels_.end(), stored);
}

Colour Raster::At(int x, int y) const {
    const Colour p = Premultiplied(x, y);
    if (p.a <= 0.0f) {
        return kClear;
    }
    return Colour{p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Raster::Set(int x, int y, Colour c) {
    pixels_[Index(x, y)] = Colour{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

void Raster::Blend(int x, int y, Colour c, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    const float a = Clamp01(c.a * coverage);
    Colour& p = pixels_[Index(x, y)];
    p.r = c.r * a + p.r * (1.0f - a);
    p.g = c.g * a + p.g * (1.0f - a);
    p.b = c.b * a + p.b * (1.0f - a);
    p.a = a + p.a * (1.0f - a);
}

template <typename Inside, typename Paint>
void Raster::FillShape(float left, float top, float right, float bottom, Inside inside,
                       Paint paint) {
    const int x0 = std::max(0, static_cast<int>(std::floor(left)));
    const int y0 = std::max(0, static_cast<int>(std::floor(top)));
    const int x1 = std::min(width_, static_cast<int>(std::ceil(right)));
    const int y1 = std::min(height_, static_cast<int>(std::ceil(bottom)));
    constexpr float kStep = 1.0f / kSamplesPerSide;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamplesPerSide; ++sy) {
                for (int sx = 0; sx < kSamplesPerSide; ++sx) {
                    hits += inside(x + (sx + 0.5f) * kStep, y + (sy + 0.5f) * kStep) ? 1 : 0;
                }
            }
            if (hits != 0) {
                Blend(x, y, paint(x + 0.5f, y + 0.5f),
                      static_cast<float>(hits) / (kSamplesPerSide * kSamplesPerSide));
            }
        }
    }
}

void Raster::FillRect(float left, float top, float right, float bottom, Colour c) {
    FillVerticalGradient(left, top, right, bottom, c, c);
}

void Raster::FillEllipse(float centreX, float centreY, float radiusX, float radiusY, Colour c) {
    FillShape(
        centreX - radiusX, centreY - radiusY, centreX + radiusX, centreY + radiusY,
        [&](float x, float y) {
            const float dx = (x - centreX) / radiusX, dy = (y - centreY) / radiusY;
            return dx * dx + dy * dy <= 1.0f;
        },
        [c](float, float) { return c; });
}

void Raster::FillPolygon(const std::vector<Point>& corners, Colour c) {
    if (corners.size() < 3) {
        return;
    }
    float left = corners[0].x, right = left, top = corners[0].y, bottom = top;
    for (const Point& p : corners) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const auto inside = [&](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const Point& a = corners[i];
            const Point& b = corners[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
                in = !in;
            }
        }
        return in;
    };
    FillShape(left, top, right, bottom, inside, [c](float, float) { return c; });
}

void Raster::FillVerticalGradient(float left, float top, float right, float bottom,
                                  Colour topColour, Colour bottomColour) {
    FillShape(
        left, top, right, bottom,
        [&](float x, float y) { return x >= left && x < right && y >= top && y < bottom; },
        [&](float, float y) {
            return Mix(topColour, bottomColour, Clamp01((y - top) / (bottom - top)));
        });
}

Colour Raster::Sample(float u, float v) const {
    const float fx = std::min(std::max(u * width_ - 0.5f, 0.0f), width_ - 1.0f);
    const float fy = std::min(std::max(v * height_ - 0.5f, 0.0f), height_ - 1.0f);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    const int x1 = std::min(x0 + 1, width_ - 1), y1 = std::min(y0 + 1, height_ - 1);
    const float tx = fx - x0, ty = fy - y0;
    const Colour top = Mix(Premultiplied(x0, y0), Premultiplied(x1, y0), tx);
    const Colour bottom = Mix(Premultiplied(x0, y1), Premultiplied(x1, y1), tx);
    const Colour p = Mix(top, bottom, ty);
    if (p.a <= 0.0f) {
        return kClear;
    }
    return Colour{p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

Raster Raster::Shrunk(int factor) const {
    Raster small(width_ / factor, height_ / factor);
    const float weight = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < small.height_; ++y) {
        for (int x = 0; x < small.width_; ++x) {
            Colour sum;
            for (int sy = 0; sy < factor; ++sy) {
                for (int sx = 0; sx < factor; ++sx) {
                    const Colour p = Premultiplied(x * factor + sx, y * factor + sy);
                    sum.r += p.r;
                    sum.g += p.g;
                    sum.b += p.b;
                    sum.a += p.a;
                }
            }
            small.pixels_[small.Index(x, y)] =
                Colour{sum.r * weight, sum.g * weight, sum.b * weight, sum.a * weight};
        }
    }
    return small;
}

}  // namespace merovan::pictures

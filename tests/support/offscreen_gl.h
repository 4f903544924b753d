// An OpenGL context drawing into memory (Mesa's OSMesa), for checking drawn pixels.
#pragma once

#include <GL/osmesa.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "tests/support/test_bitmaps.h"

namespace merovan::testing {

class OffscreenGl {
  public:
    OffscreenGl(int width, int height)
        : width_(width), height_(height), buffer_(static_cast<size_t>(width) * height * 4) {
        context_ = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
        if (context_ == nullptr ||
            !OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, width, height)) {
            throw std::runtime_error("no offscreen OpenGL context");
        }
    }
    ~OffscreenGl() {
        OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
        OSMesaDestroyContext(context_);
    }
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    // Pixel (x, y) with y counted from the top row, as on the screen.
    Rgb Pixel(int x, int y) const {
        glFinish();
        const uint8_t* p = &buffer_[(static_cast<size_t>(height_ - 1 - y) * width_ + x) * 4];
        return Rgb{p[0], p[1], p[2]};
    }

    // The whole buffer, RGBA, bottom row first.
    std::vector<uint8_t> Pixels() const {
        glFinish();
        return buffer_;
    }

  private:
    int width_, height_;
    std::vector<uint8_t> buffer_;
    OSMesaContext context_ = nullptr;
};

}  // namespace merovan::testing

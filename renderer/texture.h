// A picture held as an OpenGL texture with all its mipmap levels.
#pragma once

#include <vector>

#include "renderer/gl_api.h"
#include "renderer/mipmaps.h"

namespace merovan {

class Texture {
  public:
    Texture() = default;
    ~Texture() { Release(); }
    Texture(Texture&& other) noexcept : name_(other.name_) { other.name_ = 0; }
    Texture& operator=(Texture&&) = delete;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // A fresh texture without a picture (giving back any earlier one): repeating in both
    // directions, filtered linearly, with the nearest mipmap level. Until it has a picture,
    // OpenGL draws what uses it in the bare vertex colours.
    void Create();
    // Uploads `levels` (level 0 first, each half the one before, down to 1 × 1). Levels
    // larger than OpenGL takes are left out, so the texture starts at the first that fits.
    // False, leaving the texture without a picture, when none fits or there are none.
    bool Upload(const std::vector<PictureLevel>& levels);
    void Bind() const;
    // Gives the texture name back. Without a current context the call has no effect.
    void Release();

  private:
    GLuint name_ = 0;
};

}  // namespace merovan

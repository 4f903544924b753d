// A picture held as an OpenGL texture with all its mipmap levels.
#pragma once

#include <cstdint>

namespace merovan {

class Texture {
  public:
    Texture() = default;
    ~Texture() { Release(); }
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Makes a fresh, empty texture for this object (giving back any earlier one) and
    // records the path. Always true.
    bool Create(const char* path);
    // Create, then fill the texture from the bitmap file at `path`. False when the file
    // could not be opened or read or is not a picture this reader takes; the object then
    // keeps an empty texture, which OpenGL draws as the bare vertex colours.
    bool LoadBmp(const char* path);
    void Bind() const;
    // Gives the texture name back to OpenGL. At process end no context is current and the
    // call has no effect there.
    void Release();

    const char* FileName() const { return fileName; }
    uint32_t Handle() const { return handle; }
    int32_t Width() const { return width; }
    int32_t Height() const { return height; }

    // The mipmap upload: three-component, blue-green-red rows padded to four bytes, bottom
    // row first. Tests replace it to see what would be uploaded.
    using MipmapUpload = int (*)(int32_t width, int32_t height, const void* pixels);
    static MipmapUpload upload;

  private:
    static constexpr int kFileNameChars = 64;

    char fileName[kFileNameChars] = {};
    uint32_t handle = 0;  // OpenGL texture name plus one; 0 when none is held
    int32_t width = 0;
    int32_t height = 0;
};

// The sheet's picture (the desktop) and the background's picture.
extern Texture g_sheetTexture;
extern Texture g_backgroundTexture;

}  // namespace merovan

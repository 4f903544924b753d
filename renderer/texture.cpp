#include "renderer/texture.h"

#include <cstring>

#include "renderer/bmp_reader.h"
#include "renderer/file_source.h"
#include "renderer/gl_api.h"

namespace merovan {
namespace {

int BuildMipmaps(int32_t width, int32_t height, const void* pixels) {
    return gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels);
}

}  // namespace

Texture::MipmapUpload Texture::upload = BuildMipmaps;

Texture g_sheetTexture;
Texture g_backgroundTexture;

void Texture::Release() {
    if (handle != 0) {
        const GLuint name = handle - 1;
        glDeleteTextures(1, &name);
        handle = 0;
    }
}

bool Texture::Create(const char* path) {
    Release();
    std::strncpy(fileName, path, kFileNameChars - 1);
    fileName[kFileNameChars - 1] = '\0';

    GLuint name = 0;
    glGenTextures(1, &name);
    handle = name + 1;
    glBindTexture(GL_TEXTURE_2D, name);
    // The sheet's texture coordinates run to 3 and are shifted per ring: the picture tiles.
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    static_cast<GLfloat>(GL_LINEAR_MIPMAP_NEAREST));
    return true;
}

void Texture::Bind() const {
    glBindTexture(GL_TEXTURE_2D, handle - 1);
}

bool Texture::LoadBmp(const char* path) {
    Create(path);
    std::unique_ptr<ByteSource> file = OpenFileSource(path);
    if (!file) {
        return false;
    }
    BmpPicture picture;
    if (ReadBmp(*file, picture) != BmpStatus::kOk) {
        return false;
    }
    file.reset();
    width = picture.width;
    height = picture.height;

    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    // The reader has put the rows bottom-up whatever the file's order, so the upload always
    // gets a positive height. Its result is not needed: a refused upload leaves the texture
    // empty, which draws as the vertex colours.
    const int32_t rows = picture.height < 0 ? -picture.height : picture.height;
    upload(picture.width, rows, picture.pixels.data());
    return true;
}

}  // namespace merovan

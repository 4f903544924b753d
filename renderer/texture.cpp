#include "renderer/texture.h"

namespace merovan {

void Texture::Release() {
    if (name_ != 0) {
        glDeleteTextures(1, &name_);
        name_ = 0;
    }
}

void Texture::Create() {
    Release();
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    // The sheet's texture coordinates run to 3 and are shifted per ring: the picture tiles.
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    static_cast<GLfloat>(GL_LINEAR_MIPMAP_NEAREST));
}

bool Texture::Upload(const std::vector<PictureLevel>& levels) {
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    size_t first = 0;
    while (first < levels.size() &&
           (levels[first].width > maxSide || levels[first].height > maxSide)) {
        ++first;
    }
    if (first == levels.size()) {
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
        // errors of earlier calls are not this upload's
    }
    glBindTexture(GL_TEXTURE_2D, name_);
    // The levels' rows are padded to four bytes, as in the bitmap files.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    for (size_t i = first; i < levels.size(); ++i) {
        const PictureLevel& level = levels[i];
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i - first), 3, level.width, level.height, 0,
                     GL_BGR_EXT, GL_UNSIGNED_BYTE, level.pixels.data());
    }
    return glGetError() == GL_NO_ERROR;
}

void Texture::Bind() const {
    glBindTexture(GL_TEXTURE_2D, name_);
}

}  // namespace merovan

#include "tools/pictures/picture_catalogue.h"

#include "tools/pictures/icon_drawing.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/preview_drawing.h"

namespace merovan::pictures {
namespace {

// The 32-pixel image is the one older shells and the screen saver list show; it stays in
// 256 colours so it looks the same on every display depth.
std::vector<uint8_t> MakeProgramIcon() {
    return EncodeIco({{DrawProgramIcon(16), IconDepth::kAlpha32},
                      {DrawProgramIcon(32), IconDepth::kPalette256},
                      {DrawProgramIcon(48), IconDepth::kAlpha32}});
}

std::vector<uint8_t> MakeDesktopPreview() {
    return EncodeBmp24(DrawDesktopPreview());
}

std::vector<uint8_t> MakeBackgroundPreview() {
    return EncodeBmp24(DrawBackgroundPreview());
}

}  // namespace

const std::vector<PictureFile>& PictureCatalogue() {
    static const std::vector<PictureFile> kFiles{
        {"merovan.ico", MakeProgramIcon},
        {"preview_background.bmp", MakeBackgroundPreview},
        {"preview_desktop.bmp", MakeDesktopPreview},
    };
    return kFiles;
}

}  // namespace merovan::pictures

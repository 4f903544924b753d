#include "tools/pictures/picture_catalogue.h"

#include "tools/pictures/button_face_drawing.h"
#include "tools/pictures/choice_mark_drawing.h"
#include "tools/pictures/hand_cursor_drawing.h"
#include "tools/pictures/icon_drawing.h"
#include "tools/pictures/picture_files.h"
#include "tools/pictures/preview_drawing.h"
#include "tools/pictures/wizard_drawing.h"

namespace merovan::pictures {
namespace {

// The 32-pixel image is the one older shells and the screen saver list show; it stays in
// 256 colours so it looks the same on every display depth. The 256-pixel one, for large
// icon views and scaled displays, is a PNG, as Windows wants it.
std::vector<uint8_t> MakeProgramIcon() {
    return EncodeIco({{DrawProgramIcon(16), IconDepth::kAlpha32},
                      {DrawProgramIcon(24), IconDepth::kAlpha32},
                      {DrawProgramIcon(32), IconDepth::kPalette256},
                      {DrawProgramIcon(48), IconDepth::kAlpha32},
                      {DrawProgramIcon(256), IconDepth::kPng}});
}

std::vector<uint8_t> MakeDesktopPreview() {
    return EncodeBmp24(DrawDesktopPreview());
}

std::vector<uint8_t> MakeBackgroundPreview() {
    return EncodeBmp24(DrawBackgroundPreview());
}

template <ButtonFace face>
std::vector<uint8_t> MakeButtonFace() {
    return EncodeBmp24(DrawButtonFace(face));
}

template <bool chosen>
std::vector<uint8_t> MakeChoiceMark() {
    return EncodeBmp24(DrawChoiceMark(chosen));
}

std::vector<uint8_t> MakeWizardSide() {
    return EncodeBmp24(DrawWizardSide());
}

std::vector<uint8_t> MakeWizardHeader() {
    return EncodeBmp24(DrawWizardHeader());
}

std::vector<uint8_t> MakeHandCursor() {
    return EncodeCur({DrawHandCursor(), IconDepth::kMonochrome, kHandHotSpotX, kHandHotSpotY});
}

}  // namespace

const std::vector<PictureFile>& PictureCatalogue() {
    static const std::vector<PictureFile> kFiles{
        // The highlighted face serves both the highlighted and the highlighted-and-focused
        // button.
        {"face_disable.bmp", MakeButtonFace<ButtonFace::kDisable>},
        {"face_highlight.bmp", MakeButtonFace<ButtonFace::kHighlight>},
        {"face_normal.bmp", MakeButtonFace<ButtonFace::kNormal>},
        {"face_pressed.bmp", MakeButtonFace<ButtonFace::kPressed>},
        {"face_selected.bmp", MakeButtonFace<ButtonFace::kSelected>},
        {"hand.cur", MakeHandCursor},
        {"mark_off.bmp", MakeChoiceMark<false>},
        {"mark_on.bmp", MakeChoiceMark<true>},
        {"merovan.ico", MakeProgramIcon},
        {"preview_background.bmp", MakeBackgroundPreview},
        {"preview_desktop.bmp", MakeDesktopPreview},
        {"wizard_header.bmp", MakeWizardHeader},
        {"wizard_side.bmp", MakeWizardSide},
    };
    return kFiles;
}

}  // namespace merovan::pictures

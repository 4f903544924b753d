// Resource numbers of the screensaver program.
#pragma once

#define IDS_PROGRAM_NAME 1
#define IDI_PROGRAM 100
#define IDB_PREVIEW_BACKGROUND 101
#define IDB_PREVIEW_DESKTOP 102
#define IDB_MARK_OFF 110
#define IDB_MARK_ON 111
#define IDC_LINK_HAND 120

#ifdef __cplusplus
namespace merovan {
constexpr int kPicturePreviewBackground = IDB_PREVIEW_BACKGROUND;
constexpr int kPicturePreviewDesktop = IDB_PREVIEW_DESKTOP;
constexpr int kPictureMarkOff = IDB_MARK_OFF;
constexpr int kPictureMarkOn = IDB_MARK_ON;
constexpr int kCursorHand = IDC_LINK_HAND;
constexpr int kIconProgram = IDI_PROGRAM;
}  // namespace merovan
#endif

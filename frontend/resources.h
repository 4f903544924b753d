// Resource numbers of the screensaver program.
#pragma once

#define IDS_PROGRAM_NAME 1
#define IDI_PROGRAM 100
#define IDB_PREVIEW_BACKGROUND 101
#define IDB_PREVIEW_DESKTOP 102

#ifdef __cplusplus
namespace merovan {
constexpr int kPicturePreviewBackground = IDB_PREVIEW_BACKGROUND;
constexpr int kPicturePreviewDesktop = IDB_PREVIEW_DESKTOP;
}  // namespace merovan
#endif

// Resource numbers of the screensaver program; the settings window's own are in its folder.
#pragma once

#include "settings_dialog/settings_resources.h"

#define IDS_PROGRAM_NAME 1
#define IDB_PREVIEW_DESKTOP 102

#ifdef __cplusplus
namespace merovan {
constexpr int kPicturePreviewDesktop = IDB_PREVIEW_DESKTOP;
}  // namespace merovan
#endif

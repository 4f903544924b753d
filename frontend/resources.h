// Resource numbers of the screensaver program; the settings window's own are in its folder.
#pragma once

#include "settings_dialog/settings_resources.h"

#define IDB_PREVIEW_DESKTOP 102
#define IDS_MISSING_RENDERER 230
#define IDS_RENDERER_NOT_STARTED 231

#ifdef __cplusplus
namespace merovan {
constexpr int kPicturePreviewDesktop = IDB_PREVIEW_DESKTOP;
}  // namespace merovan
#endif

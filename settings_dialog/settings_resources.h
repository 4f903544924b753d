// Resource numbers of what the settings window loads from the program that shows it.
#pragma once

#define IDI_PROGRAM 100
#define IDB_MARK_OFF 110
#define IDB_MARK_ON 111
#define IDC_LINK_HAND 120

#ifdef __cplusplus
namespace merovan {
constexpr int kIconProgram = IDI_PROGRAM;
constexpr int kPictureMarkOff = IDB_MARK_OFF;
constexpr int kPictureMarkOn = IDB_MARK_ON;
constexpr int kCursorHand = IDC_LINK_HAND;
}  // namespace merovan
#endif

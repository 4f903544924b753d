// Resource numbers of what the settings window loads from the program that shows it: its
// pictures and, in Japanese and English string tables, every text it shows.
#pragma once

#define IDI_PROGRAM 100
#define IDB_MARK_OFF 110
#define IDB_MARK_ON 111
#define IDC_LINK_HAND 120

// The program's name: the screensaver list shows it, message boxes carry it as their title.
#define IDS_PROGRAM_NAME 1
#define IDS_MUSIC_HEADING 200
#define IDS_CHOICE_NONE 201
#define IDS_CHOICE_CD 202
#define IDS_CHOICE_FILE 203
#define IDS_REPEAT_LABEL 204
#define IDS_DISPLAY_HEADING 205
#define IDS_OPTION_EVERY_MONITOR 206
#define IDS_OPTION_PACED_FRAMES 207
#define IDS_OPTION_ANY_INPUT_ENDS 208
#define IDS_SAVE 209
#define IDS_CANCEL 210
#define IDS_GUIDE_LINK 211
#define IDS_FILE_DIALOG_TITLE 212
#define IDS_FILE_FILTER 213
#define IDS_CANNOT_SAVE 214
#define IDS_TRACK_NOT_NUMBER 215
#define IDS_CANNOT_USE_FILE 216
#define IDS_FILE_TOO_LARGE 217
#define IDS_FILE_IN_USE 218
#define IDS_FILE_UNWRITABLE 219
#define IDS_FILE_CANNOT_HOLD 220
#define IDS_FILE_UNREADABLE 221

#ifdef __cplusplus
namespace merovan {
constexpr int kIconProgram = IDI_PROGRAM;
constexpr int kPictureMarkOff = IDB_MARK_OFF;
constexpr int kPictureMarkOn = IDB_MARK_ON;
constexpr int kCursorHand = IDC_LINK_HAND;
}  // namespace merovan
#endif

// The start-up module: program-wide state, the settings file, path helpers, the zoom
// animation and Main.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "frontend/settings.h"

namespace merovan {

extern Settings g_settings;
extern std::wstring IniValue;  // the value of the last GetIni of LoadSettings
extern int CursorCount;        // the display counter when the pointer was hidden
extern int16_t AnimOriginX;    // screen point the settings window zooms from and to
extern int16_t AnimOriginY;
extern int32_t LastApiResult;  // result of the last operating-system call; read by nobody

constexpr wchar_t kProgramTitle[] = L"メロヴァン";
constexpr wchar_t kRunFormCaption[] = L"Merovan_Main";
constexpr wchar_t kSettingsCaption[] = L"<メロヴァン>";
constexpr wchar_t kRendererWindowTitle[] = L"Merovan_VC";
constexpr wchar_t kRendererFileName[] = L"メロヴァン.dll";

// The argument text of this program's command line.
std::wstring CommandArguments();

// One value of the settings file; "" when the file, section or key is missing.
std::wstring GetIni(const std::wstring& section, const std::wstring& key, const std::wstring& file);
// Writes one value, creating the file, section or key; the outcome goes to LastApiResult
// (non-zero for success). Returns "".
std::wstring PutIni(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                    const std::wstring& file);

// The settings file beside the program, the per-user copy, and the one to read.
std::wstring IniPathBesideProgram();
std::wstring IniPathPerUser();
std::wstring IniPathToRead();

void LoadSettings();
bool FileExists(const std::wstring& path);
void ZoomOpen(HWND window);
void ZoomClose(HWND window);

// The program's start: decides the mode and starts it. Returns the exit code.
int Main();

}  // namespace merovan

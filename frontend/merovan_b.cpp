#include "frontend/merovan_b.h"

#include <shlobj.h>

#include "forms/files.h"
#include "forms/handles.h"
#include "forms/program.h"
#include "frontend/command_line.h"
#include "frontend/cp932.h"
#include "frontend/ini_text.h"
#include "frontend/preview_form.h"
#include "frontend/run_form.h"
#include "settings_dialog/merovan_p.h"

namespace merovan {

Settings g_settings;
std::wstring IniValue;
int CursorCount = 0;
int16_t AnimOriginX = 0;
int16_t AnimOriginY = 0;
int32_t LastApiResult = 0;

namespace {

constexpr wchar_t kMissingRendererMessage[] = L"メロヴァン.dll が同じﾌｫﾙﾀﾞに見つかりません！";
constexpr wchar_t kPerUserFolderName[] = L"Merovan";
constexpr UINT kIdaniCaption = 3;

}  // namespace

std::wstring CommandArguments() {
    return ArgumentsOf(GetCommandLineW());
}

std::wstring GetIni(const std::wstring& section, const std::wstring& key,
                    const std::wstring& file) {
    std::string bytes, sectionBytes, keyBytes;
    if (!forms::ReadWholeFile(file, bytes))
        return std::wstring();
    WideToCp932(section, sectionBytes);
    WideToCp932(key, keyBytes);
    return Cp932ToWide(IniRead(bytes, sectionBytes, keyBytes));
}

std::wstring PutIni(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                    const std::wstring& file) {
    std::string bytes, sectionBytes, keyBytes, valueBytes;
    forms::ReadWholeFile(file, bytes);  // a missing file is created
    WideToCp932(section, sectionBytes);
    WideToCp932(key, keyBytes);
    WideToCp932(value, valueBytes);
    LastApiResult =
        forms::ReplaceWholeFile(file, IniWrite(bytes, sectionBytes, keyBytes, valueBytes));
    return std::wstring();
}

std::wstring IniPathBesideProgram() {
    return forms::ProgramFolder() + L"\\" + kIniFileName;
}

std::wstring IniPathPerUser() {
    PWSTR roaming = nullptr;
    std::wstring path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming))) {
        path = std::wstring(roaming) + L"\\" + kPerUserFolderName + L"\\" + kIniFileName;
    }
    CoTaskMemFree(roaming);
    return path;
}

std::wstring IniPathToRead() {
    IniCandidate beside{IniPathBesideProgram()};
    beside.exists = forms::FileWriteTime(beside.path, beside.lastWriteTime);
    IniCandidate perUser{IniPathPerUser()};
    perUser.exists =
        !perUser.path.empty() && forms::FileWriteTime(perUser.path, perUser.lastWriteTime);
    return ChooseSettingsFile(beside, perUser);
}

void LoadSettings() {
    const std::wstring file = IniPathToRead();
    SettingsSource source;
    source.readKey = [&file](const wchar_t* key) {
        IniValue = GetIni(kIniSection, key, file);
        return IniValue;
    };
    source.fileExists = FileExists;
    source.programFolder = forms::ProgramFolder();
    g_settings = merovan::LoadSettings(source);
}

bool FileExists(const std::wstring& path) {
    // A folder is not a file: opening it without backup semantics fails, as it should.
    const forms::UniqueHandle file(CreateFileW(WithoutTrailingBackslash(path).c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.get() != INVALID_HANDLE_VALUE;
}

void ZoomOpen(HWND window) {
    const RECT from{AnimOriginX, AnimOriginY, AnimOriginX, AnimOriginY};
    RECT to{};
    GetWindowRect(window, &to);
    LastApiResult = DrawAnimatedRects(window, kIdaniCaption, &from, &to);
}

void ZoomClose(HWND window) {
    RECT from{};
    GetWindowRect(window, &from);
    const RECT to{AnimOriginX, AnimOriginY, AnimOriginX, AnimOriginY};
    LastApiResult = DrawAnimatedRects(window, kIdaniCaption, &from, &to);
}

int Main() {
    // Beside a run or an open settings dialog nothing else starts, whatever the switch.
    if (FindWindowW(nullptr, kRunFormCaption) != nullptr ||
        FindWindowW(nullptr, kSettingsCaption) != nullptr) {
        return 0;
    }
    const std::wstring arguments = CommandArguments();
    const Mode mode = ModeOf(arguments);

    if (mode == Mode::kPreview) {
        const HWND parent =
            reinterpret_cast<HWND>(static_cast<intptr_t>(PreviewWindowNumber(arguments)));
        if (!StartPreview(parent))
            return 0;
        return forms::RunMessageLoop();
    }

    LoadSettings();
    if (!FileExists(forms::ProgramFolder() + L"\\" + kRendererFileName)) {
        MessageBoxW(nullptr, kMissingRendererMessage, kProgramTitle, MB_OK);
        return 0;
    }
    if (mode == Mode::kSettings) {
        ShowSettingsDialog();
        return 0;
    }
    if (mode == Mode::kEnd)
        return 0;
    if (mode == Mode::kRun)
        CursorCount = ShowCursor(FALSE);

    if (!LoadRunForm())
        return 0;
    return forms::RunMessageLoop();
}

}  // namespace merovan

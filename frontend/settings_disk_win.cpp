#include "frontend/settings_disk_win.h"

#include <windows.h>
#include <shlobj.h>

#include "forms/files.h"
#include "forms/handles.h"
#include "forms/program.h"

namespace merovan {
namespace {

constexpr wchar_t kPerUserFolderName[] = L"Merovan";

std::wstring PerUserSettingsPath() {
    PWSTR roaming = nullptr;
    std::wstring path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming)))
        path = std::wstring(roaming) + L"\\" + kPerUserFolderName + L"\\" + kIniFileName;
    CoTaskMemFree(roaming);
    return path;
}

}  // namespace

SettingsFiles WindowsSettingsFiles() {
    SettingsFiles files;
    files.programFolder = forms::ProgramFolder();
    files.besideProgram = files.programFolder + L"\\" + kIniFileName;
    files.perUser = PerUserSettingsPath();
    files.read = forms::ReadWholeFile;
    files.replace = forms::ReplaceWholeFile;
    files.writeTime = forms::FileWriteTime;
    files.fileExists = FileExists;
    files.makeFolder = [](const std::wstring& folder) {
        CreateDirectoryW(folder.c_str(), nullptr);  // one that exists already is fine
    };
    return files;
}

bool FileExists(const std::wstring& path) {
    // A folder is not a file: opening it without backup semantics fails, as it should.
    const forms::UniqueHandle file(CreateFileW(WithoutTrailingBackslash(path).c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.get() != INVALID_HANDLE_VALUE;
}

}  // namespace merovan

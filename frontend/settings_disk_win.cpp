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

bool ReadSettingsFile(const std::wstring& path, size_t maxBytes, std::string& bytes) {
    bytes.clear();
    forms::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || static_cast<uint64_t>(size.QuadPart) > maxBytes)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        bytes.clear();
        return false;
    }
    return true;
}

bool ReplaceSettingsFile(const std::wstring& path, const std::string& bytes) {
    // A read-only file is not to be written: moving a new file over it would drop the mark
    // (Wine allows that move, Windows refuses it).
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    const std::wstring fresh = path + L".new";
    if (!forms::WriteWholeFile(fresh, bytes.data(), bytes.size())) {
        DeleteFileW(fresh.c_str());
        return false;
    }
    if (!MoveFileExW(fresh.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(fresh.c_str());
        return false;
    }
    return true;
}

std::optional<uint64_t> LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::nullopt;
    }
    return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

SettingsFiles WindowsSettingsFiles() {
    SettingsFiles files;
    files.programFolder = forms::ProgramFolder();
    files.besideProgram = files.programFolder + L"\\" + kIniFileName;
    files.perUser = PerUserSettingsPath();
    files.read = ReadSettingsFile;
    files.replace = ReplaceSettingsFile;
    files.writeTime = LastWriteTime;
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

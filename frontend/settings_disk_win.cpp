#include "frontend/settings_disk_win.h"

#include <windows.h>
#include <shlobj.h>

#include "forms/handles.h"
#include "forms/program.h"

namespace merovan {
namespace {

constexpr wchar_t kPerUserFolderName[] = L"Merovan";
constexpr wchar_t kTemporaryPrefix[] = L"mer";
// FAT keeps dates in steps of two seconds: a save is dated at least that much after the
// other copy, in FILETIME's 100 ns units, so that it reads as the newer on any volume.
constexpr uint64_t kDateStepTicks = 2 * 10000000ull;
// The attributes a replaced file keeps (Wine's ReplaceFileW drops them, Windows' does not).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::wstring PerUserSettingsPath() {
    PWSTR roaming = nullptr;
    std::wstring path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming)))
        path = std::wstring(roaming) + L"\\" + kPerUserFolderName + L"\\" + kIniFileName;
    CoTaskMemFree(roaming);
    return path;
}

bool InUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

FileProblem ReadProblem(DWORD error) {
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return FileProblem::kMissing;
    return InUse(error) ? FileProblem::kInUse : FileProblem::kUnreadable;
}

FileBytes ReadSettingsFile(const std::wstring& path, size_t maxBytes) {
    const forms::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file.get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.get(), &size))
        return {{}, ReadProblem(GetLastError())};
    if (static_cast<uint64_t>(size.QuadPart) > maxBytes)
        return {{}, FileProblem::kTooLarge};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {{}, ReadProblem(GetLastError())};
    if (read != bytes.size())
        return {{}, FileProblem::kUnreadable};
    return {std::move(bytes), std::nullopt};
}

// A file (not a folder) opened through any links only to ask about it, sharing everything
// so that it opens while another program holds the file.
forms::UniqueHandle OpenToAsk(const std::wstring& path) {
    return forms::UniqueHandle(CreateFileW(path.c_str(), 0,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The file that `path` leads to through any links, so that a save replaces the file and
// leaves the link; `path` itself when there is no file yet.
std::wstring FinalPath(const std::wstring& path) {
    const forms::UniqueHandle file = OpenToAsk(path);
    if (file.get() == INVALID_HANDLE_VALUE)
        return path;
    std::wstring final(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(file.get(), final.data(),
                                                       static_cast<DWORD>(final.size()), 0);
        if (length == 0)
            return path;
        if (length < final.size())
            return final.substr(0, length);
        final.resize(length);  // the length it needs, its terminating NUL included
    }
    return path;
}

FILETIME DateAfter(std::optional<uint64_t> newerThan) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    if (newerThan && ticks < *newerThan + kDateStepTicks)
        ticks = *newerThan + kDateStepTicks;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// A file of its own in a folder, gone when this goes: once it has replaced the settings
// file, its name is free again and deleting it does nothing.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::wstring& folder) {
        wchar_t name[MAX_PATH] = {};
        if (GetTempFileNameW(folder.c_str(), kTemporaryPrefix, 0, name) != 0)
            path_ = name;
    }
    ~TemporaryFile() {
        if (!path_.empty())
            DeleteFileW(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::wstring& Path() const { return path_; }

    // Writes all of `bytes` to the disk, the file dated `date`.
    bool Write(const std::string& bytes, const FILETIME& date) const {
        const forms::UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                   nullptr));
        DWORD written = 0;
        return file.get() != INVALID_HANDLE_VALUE &&
               WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) &&
               written == bytes.size() && FlushFileBuffers(file.get()) &&
               SetFileTime(file.get(), nullptr, nullptr, &date);
    }

  private:
    std::wstring path_;
};

std::optional<FileProblem> ReplaceSettingsFile(const std::wstring& path, const std::string& bytes,
                                               std::optional<uint64_t> newerThan) {
    const std::wstring target = FinalPath(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A read-only file keeps its bytes and its mark; the save goes to the per-user copy.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return FileProblem::kUnwritable;
    const TemporaryFile fresh(FolderOf(target));
    if (fresh.Path().empty() || !fresh.Write(bytes, DateAfter(newerThan)))
        return FileProblem::kUnwritable;
    // ReplaceFileW keeps the file's attributes and access control list; a new file only
    // appears, and never takes the place of one that appeared meanwhile.
    const BOOL replaced =
        exists ? ReplaceFileW(target.c_str(), fresh.Path().c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
               : MoveFileExW(fresh.Path().c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!replaced)
        return InUse(GetLastError()) ? FileProblem::kInUse : FileProblem::kUnwritable;
    if (exists && (attributes & kKeptAttributes) != 0)  // the save stands whatever this gives
        SetFileAttributesW(target.c_str(), attributes & (kKeptAttributes | FILE_ATTRIBUTE_ARCHIVE));
    return std::nullopt;
}

// Opened rather than looked up, so that a link gives the date of the file it leads to.
std::optional<uint64_t> LastWriteTime(const std::wstring& path) {
    const forms::UniqueHandle file = OpenToAsk(path);
    FILETIME written{};
    if (file.get() == INVALID_HANDLE_VALUE || !GetFileTime(file.get(), nullptr, nullptr, &written))
        return std::nullopt;
    return (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
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

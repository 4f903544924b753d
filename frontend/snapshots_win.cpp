#include "frontend/snapshots_win.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "common/bitmap_rows.h"
#include "common/program_names.h"
#include "forms/bmp_file.h"
#include "forms/handles.h"

namespace merovan {
namespace {

// A bitmap file of the screen's `area`, upside down and unscaled: pixel (x, y) of the
// picture is the area's pixel (x, H − 1 − y), so the file's first stored row is the area's
// top row. None when the screen could not be copied.
std::optional<std::vector<uint8_t>> DesktopPictureFile(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    // Top-down, so that the rows lie in memory in the order the file stores them. A 1:1
    // copy: a mirrored StretchBlt lands one row off under Wine.
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    const forms::WindowDC screen(nullptr);
    const forms::MemoryDC canvas(screen.Get());
    void* bits = nullptr;
    const forms::UniqueBitmap picture(
        CreateDIBSection(canvas.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture || bits == nullptr)
        return std::nullopt;
    {
        const forms::Selection selected(canvas.Get(), picture.get());
        // The screen's DC spans every monitor, so monitors left of or above the primary one
        // are read at negative coordinates.
        if (!BitBlt(canvas.Get(), 0, 0, width, height, screen.Get(), area.left, area.top,
                    SRCCOPY)) {
            return std::nullopt;
        }
    }
    GdiFlush();  // GDI may still be drawing into the bitmap
    return forms::EncodeBmp24(width, height, static_cast<const uint8_t*>(bits),
                              BitmapRowBytes(width, 24));
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::optional<std::wstring> FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length == 0)
            return std::nullopt;
        if (length < path.size())
            return path.substr(0, length);
        path.resize(length);
    }
}

// Whether `entry`, opened at `path` without following links, is the entry at that path
// itself rather than what a link there points to.
bool IsTheEntryItself(HANDLE entry, const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    // The root, C:\, keeps its backslash; a folder below it is named without one.
    const std::wstring folderPath = path.substr(0, slash < 3 ? slash + 1 : slash);
    const forms::UniqueHandle folder(CreateFileW(folderPath.c_str(), FILE_READ_ATTRIBUTES,
                                                 kShareAll, nullptr, OPEN_EXISTING,
                                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const std::optional<std::wstring> reached = FinalPath(entry);
    std::optional<std::wstring> expected = FinalPath(folder.get());
    if (!reached || !expected)
        return false;
    if (expected->back() != L'\\')
        *expected += L'\\';
    return SameText(*reached, *expected + path.substr(slash + 1));
}

// Clears a picture's place for a new file; 0 or why the place cannot take one. An earlier
// file goes, and so does a symbolic link or junction where the system opens it as itself,
// never what it points to. Where the opened entry is something else (Wine follows a Unix
// link even when asked not to, and would remove its target), the place is left as it is,
// and so is a real folder.
DWORD ClearPlace(const std::wstring& path) {
    const forms::UniqueHandle entry(
        CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (entry.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    FILE_ATTRIBUTE_TAG_INFO kind{};
    if (!GetFileInformationByHandleEx(entry.get(), FileAttributeTagInfo, &kind, sizeof kind))
        return GetLastError();
    if ((kind.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(kind.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return ERROR_ALREADY_EXISTS;
    }
    if (!IsTheEntryItself(entry.get(), path))
        return ERROR_CANT_ACCESS_FILE;
    FILE_DISPOSITION_INFO remove{TRUE};  // done as the handle closes
    return SetFileInformationByHandle(entry.get(), FileDispositionInfo, &remove, sizeof remove)
               ? ERROR_SUCCESS
               : GetLastError();
}

// Writes `bytes` as a new file at `path`, in place of what was there; 0 or the system's
// error code. Nothing is ever written through a link to where it points.
uint32_t WriteNewFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    if (const DWORD error = ClearPlace(path))
        return error;
    // CREATE_NEW fails on anything there, a link put back meanwhile included.
    forms::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                         nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD written = 0;
    if (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size()) {
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
    file.reset();
    ClearPlace(path);  // a cut picture is no picture
    return error;
}

void Tell(const std::wstring& line) {
    OutputDebugStringW((line + L"\n").c_str());
}

std::optional<std::wstring> WritePicture(int number, const std::wstring& tempFolder,
                                         const std::vector<uint8_t>& bytes) {
    const SnapshotWrite written =
        WriteSnapshot(number, tempFolder,
                      [&bytes](const std::wstring& path) { return WriteNewFile(path, bytes); });
    if (!written.path) {
        Tell(SnapshotFileName(number) + L" could not be written: " + written.refusals +
             L"; the renderer draws without it.");
    }
    return written.path;
}

}  // namespace

Snapshots::Snapshots(const RECT& area) {
    const std::wstring temp = UserTempFolder(GetTempPathW);
    if (const std::optional<std::vector<uint8_t>> desktop = DesktopPictureFile(area))
        paths_.sheet = WritePicture(kSheetSnapshot, temp, *desktop);
    else
        Tell(L"The desktop could not be copied; the renderer draws without it.");
    paths_.background = WritePicture(kBackgroundSnapshot, temp, BackgroundPictureFile());
}

Snapshots::~Snapshots() {
    for (const std::optional<std::wstring>& path : {paths_.sheet, paths_.background}) {
        if (path)
            ClearPlace(*path);
    }
}

}  // namespace merovan

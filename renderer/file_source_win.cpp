#include <algorithm>
#include <windows.h>

#include "renderer/file_source.h"
#include "renderer/win_text.h"

namespace merovan {
namespace {

class Win32FileSource final : public ByteSource {
  public:
    Win32FileSource(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    ~Win32FileSource() override { CloseHandle(file_); }
    Win32FileSource(const Win32FileSource&) = delete;
    Win32FileSource& operator=(const Win32FileSource&) = delete;

    size_t Read(void* buffer, size_t count) override {
        // ReadFile takes 32-bit counts; the pictures we read are far below that, but a
        // larger request is still served in pieces.
        auto* out = static_cast<char*>(buffer);
        size_t total = 0;
        while (total < count) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file_, out + total, chunk, &got, nullptr) || got == 0) {
                break;
            }
            total += got;
        }
        return total;
    }
    uint64_t Size() const override { return size_; }

  private:
    HANDLE file_;
    uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const char* path) {
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<Win32FileSource>(file, static_cast<uint64_t>(size.QuadPart));
}

}  // namespace merovan

#include <windows.h>

#include <algorithm>

#include "renderer/file_source.h"
#include "renderer/win_handles.h"

namespace merovan {
namespace {

class Win32FileSource final : public ByteSource {
  public:
    Win32FileSource(UniqueHandle file, uint64_t size) : file_(std::move(file)), size_(size) {}

    size_t Read(void* buffer, size_t count) override {
        // The reader asks for a few megabytes at a time, far below ReadFile's 32-bit count.
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(count, MAXDWORD));
        return ReadFile(file_.get(), buffer, wanted, &got, nullptr) ? got : 0;
    }
    uint64_t Size() const override { return size_; }

  private:
    UniqueHandle file_;
    uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const std::filesystem::path& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (file.get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.get(), &size)) {
        return nullptr;
    }
    return std::make_unique<Win32FileSource>(std::move(file), static_cast<uint64_t>(size.QuadPart));
}

}  // namespace merovan

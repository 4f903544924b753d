#include <sys/stat.h>

#include <cstdio>

#include "renderer/file_source.h"

namespace merovan {
namespace {

class StdioSource final : public ByteSource {
  public:
    StdioSource(std::FILE* file, uint64_t size) : file_(file), size_(size) {}
    ~StdioSource() override { std::fclose(file_); }
    size_t Read(void* buffer, size_t count) override { return std::fread(buffer, 1, count, file_); }
    uint64_t Size() const override { return size_; }

  private:
    std::FILE* file_;
    uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return nullptr;
    }
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return std::make_unique<StdioSource>(file, static_cast<uint64_t>(info.st_size));
}

}  // namespace merovan

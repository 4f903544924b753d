// Any bytes given to the bitmap reader: it must refuse or read them without touching memory
// it does not own, and a picture it accepts must hold exactly its padded rows. A picture it
// accepts then goes on to the texture levels, which must run down to 1 x 1.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/bitmap_rows.h"
#include "renderer/bmp_reader.h"
#include "renderer/mipmaps.h"

namespace {

class FuzzSource final : public merovan::ByteSource {
  public:
    FuzzSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Read(void* buffer, size_t count) override {
        const size_t n = count < size_ - position_ ? count : size_ - position_;
        if (n != 0)
            std::memcpy(buffer, data_ + position_, n);
        position_ += n;
        return n;
    }
    uint64_t Size() const override { return size_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSource source(data, size);
    merovan::BmpPicture picture;
    if (merovan::ReadBmp(source, picture) == merovan::BmpStatus::kOk) {
        const uint64_t expected =
            merovan::BitmapRowBytes(picture.width, 24) * static_cast<uint64_t>(picture.height);
        if (picture.pixels.size() != expected || expected > size) {
            std::abort();
        }
        // Small sides keep each run quick; the scaling is the same at any size.
        constexpr int32_t kLargestSide = 64;
        const std::atomic<bool> cancelled{false};
        const std::vector<merovan::PictureLevel> levels =
            merovan::BuildMipLevels(picture, kLargestSide, cancelled);
        if (levels.empty() || levels.back().width != 1 || levels.back().height != 1 ||
            levels.front().width > kLargestSide || levels.front().height > kLargestSide) {
            std::abort();
        }
    } else if (!picture.pixels.empty()) {
        std::abort();
    }
    return 0;
}

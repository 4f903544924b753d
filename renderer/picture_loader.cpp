#include "renderer/picture_loader.h"

#include <memory>

#include "renderer/file_source.h"

namespace merovan {
namespace {

// Stops serving a file once the program ends: a desktop picture can be hundreds of
// megabytes, and the reader asks for it a few megabytes at a time.
class CancellableSource final : public ByteSource {
  public:
    CancellableSource(ByteSource& inner, const std::atomic<bool>& cancelled)
        : inner_(inner), cancelled_(cancelled) {}
    size_t Read(void* buffer, size_t count) override {
        return cancelled_.load(std::memory_order_relaxed) ? 0 : inner_.Read(buffer, count);
    }
    uint64_t Size() const override { return inner_.Size(); }

  private:
    ByteSource& inner_;
    const std::atomic<bool>& cancelled_;
};

}  // namespace

bool ReadPicture(const std::filesystem::path& path, const std::atomic<bool>& cancelled,
                 BmpPicture& picture) {
    std::unique_ptr<ByteSource> file = OpenFileSource(path);
    if (!file) {
        return false;
    }
    CancellableSource source(*file, cancelled);
    return ReadBmp(source, picture) == BmpStatus::kOk;
}

PreparedPicture PrepareLevels(const BmpPicture& picture, const std::atomic<bool>& cancelled) {
    PreparedPicture prepared;
    prepared.levels = BuildMipLevels(picture, kMaxTextureSide, cancelled);
    prepared.read = !prepared.levels.empty();
    prepared.allBlack = prepared.read && IsAllBlack(picture);
    return prepared;
}

PreparedPictures PreparePictures(const PictureRequest& request,
                                 const std::atomic<bool>& cancelled) {
    PreparedPictures prepared;
    BmpPicture picture;
    if (ReadPicture(request.backgroundPath, cancelled, picture)) {
        prepared.background = PrepareLevels(picture, cancelled);
    }
    const bool sheetRead = ReadPicture(request.sheetPath, cancelled, picture);
    if (request.sheetParts.empty()) {
        prepared.sheets.push_back(sheetRead ? PrepareLevels(picture, cancelled)
                                            : PreparedPicture{});
    }
    for (const PicturePart& part : request.sheetParts) {
        prepared.sheets.push_back(
            sheetRead
                ? PrepareLevels(CropPicture(picture, part.x, part.firstRow, part.width, part.rows),
                                cancelled)
                : PreparedPicture{});
    }
    return prepared;
}

PictureLoader::PictureLoader(PictureRequest request, std::function<void()> whenReady)
    : thread_([this, request = std::move(request), whenReady = std::move(whenReady)] {
          result_ = PreparePictures(request, cancelled_);
          ready_.store(true, std::memory_order_release);
          whenReady();
      }) {}

PictureLoader::~PictureLoader() {
    cancelled_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) {
        thread_.join();
    }
}

PreparedPictures PictureLoader::Take() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return std::move(result_);
}

}  // namespace merovan

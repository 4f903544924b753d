#include "renderer/picture_loader.h"

#include <memory>
#include <new>

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

// The fault for the exception being handled; called only inside a catch block.
PictureFault CaughtFault() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return PictureFault::kNoMemory;
    } catch (...) {
        return PictureFault::kFailed;
    }
}

PreparedPicture Untextured(PictureRead read) {
    PreparedPicture prepared;
    prepared.read = read;
    return prepared;
}

template <typename Prepare>
PreparedPicture Guarded(Prepare prepare) {
    try {
        return prepare();
    } catch (...) {
        return Untextured({CaughtFault()});
    }
}

}  // namespace

PictureRead ReadPicture(const std::filesystem::path& path, const std::atomic<bool>& cancelled,
                        BmpPicture& picture) {
    if (path.empty()) {
        return {PictureFault::kNotWritten};
    }
    try {
        std::unique_ptr<ByteSource> file = OpenFileSource(path);
        if (!file) {
            return {PictureFault::kCannotOpen};
        }
        CancellableSource source(*file, cancelled);
        const BmpStatus status = ReadBmp(source, picture);
        return {status == BmpStatus::kOk ? PictureFault::kNone : PictureFault::kUnreadable, status};
    } catch (...) {
        return {CaughtFault()};
    }
}

PreparedPicture PrepareLevels(const BmpPicture& picture, const std::atomic<bool>& cancelled,
                              BuildLevelsFunction buildLevels) {
    PreparedPicture prepared;
    prepared.levels = buildLevels(picture, kMaxTextureSide, cancelled);
    if (prepared.levels.empty()) {
        prepared.read.fault = PictureFault::kFailed;
    }
    prepared.allBlack = prepared.read && IsAllBlack(picture);
    return prepared;
}

PreparedPictures PreparePictures(const PictureRequest& request, const std::atomic<bool>& cancelled,
                                 BuildLevelsFunction buildLevels) {
    PreparedPictures prepared;
    BmpPicture picture;
    prepared.background = Guarded([&] {
        const PictureRead read = ReadPicture(request.backgroundPath, cancelled, picture);
        return read ? PrepareLevels(picture, cancelled, buildLevels) : Untextured(read);
    });
    const PictureRead sheet = ReadPicture(request.sheetPath, cancelled, picture);
    if (request.sheetParts.empty()) {
        prepared.sheets.push_back(Guarded([&] {
            return sheet ? PrepareLevels(picture, cancelled, buildLevels) : Untextured(sheet);
        }));
    }
    for (const PicturePart& part : request.sheetParts) {
        prepared.sheets.push_back(Guarded([&] {
            return sheet ? PrepareLevels(
                               CropPicture(picture, part.x, part.firstRow, part.width, part.rows),
                               cancelled, buildLevels)
                         : Untextured(sheet);
        }));
    }
    return prepared;
}

PictureLoader::PictureLoader(PictureRequest request, std::function<void()> whenReady,
                             BuildLevelsFunction buildLevels)
    : thread_([this, request = std::move(request), whenReady = std::move(whenReady), buildLevels] {
          try {
              result_ = PreparePictures(request, cancelled_, buildLevels);
          } catch (...) {
              // Not even the list of pictures could be made: the scene shows none of them.
              result_ = PreparedPictures{};
              result_.background.read.fault = PictureFault::kFailed;
          }
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

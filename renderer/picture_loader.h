// Reads the two snapshot pictures and builds their texture levels on a thread of its own,
// started with the program, so that the work overlaps the making of the window and its
// rendering context. The OpenGL thread takes the result when it is ready and uploads it.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "renderer/mipmaps.h"

namespace merovan {

// The largest texture side built. A bigger desktop is scaled down to it: the sheet shows a
// picture side three times around a tube less than a window across, so larger levels would
// never be sampled, and a smaller one keeps the memory and the time in bounds.
constexpr int32_t kMaxTextureSide = 4096;

// Why a picture is drawn in the bare vertex colours instead.
enum class PictureFault {
    kNone,
    kNotWritten,  // no path: the run could not write the picture
    kCannotOpen,  // missing, locked, or not a file
    kUnreadable,  // not a picture the reader takes: its status says why
    kNoMemory,    // too large to prepare
    kFailed,      // anything else went wrong while it was prepared, or the end came first
};

// What became of reading one picture file.
struct PictureRead {
    PictureFault fault = PictureFault::kNone;
    BmpStatus status = BmpStatus::kOk;  // the reader's, with kUnreadable
    explicit operator bool() const { return fault == PictureFault::kNone; }
};

struct PreparedPicture {
    PictureRead read;                  // any fault: drawn untextured
    bool allBlack = false;             // every pixel of the picture is black
    std::vector<PictureLevel> levels;  // level 0 first
};

// A part of the sheet's picture: columns from `x`, stored rows from `firstRow`.
struct PicturePart {
    int32_t x = 0, firstRow = 0, width = 0, rows = 0;
};

struct PictureRequest {
    std::filesystem::path sheetPath, backgroundPath;
    // One sheet picture per part; none means one sheet picture of the whole file.
    std::vector<PicturePart> sheetParts;
};

struct PreparedPictures {
    std::vector<PreparedPicture> sheets;  // one per part, or one
    PreparedPicture background;
};

// How a picture that was read becomes its texture levels: BuildMipLevels, or in tests one
// that fails.
using BuildLevelsFunction = std::vector<PictureLevel> (*)(const BmpPicture&, int32_t maxSide,
                                                          const std::atomic<bool>& cancelled);

// Reads a bitmap file; an empty path is a picture that was not written.
PictureRead ReadPicture(const std::filesystem::path& path, const std::atomic<bool>& cancelled,
                        BmpPicture& picture);
// The texture levels of a picture that was read.
PreparedPicture PrepareLevels(const BmpPicture& picture, const std::atomic<bool>& cancelled,
                              BuildLevelsFunction buildLevels = BuildMipLevels);
// Both pictures of a request. A failure of any kind, running out of memory included, leaves
// the picture it struck untextured and the other as it is. Stops early, leaving pictures
// unread, once `cancelled` is set.
PreparedPictures PreparePictures(const PictureRequest& request, const std::atomic<bool>& cancelled,
                                 BuildLevelsFunction buildLevels = BuildMipLevels);

class PictureLoader {
  public:
    // `whenReady` runs on the loader's thread once the result is ready.
    PictureLoader(PictureRequest request, std::function<void()> whenReady,
                  BuildLevelsFunction buildLevels = BuildMipLevels);
    // Stops the work where it is and waits for the thread, which then ends within moments.
    ~PictureLoader();
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;

    bool Ready() const { return ready_.load(std::memory_order_acquire); }
    // The result, waiting for it when it is not ready yet. Once only. No sheet pictures at
    // all when even the list of them could not be made.
    PreparedPictures Take();

  private:
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> ready_{false};
    PreparedPictures result_;
    std::thread thread_;
};

}  // namespace merovan

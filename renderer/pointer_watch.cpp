#include "renderer/pointer_watch.h"

namespace merovan {

void PointerWatch::Start(int32_t x, int32_t y, double now) {
    originX_ = lastX_ = x;
    originY_ = lastY_ = y;
    shownAt_ = now;
}

bool PointerWatch::MoveEnds(int32_t x, int32_t y, double now) {
    const bool moved = x != lastX_ || y != lastY_;
    lastX_ = x;
    lastY_ = y;
    if (now - shownAt_ < kSettleSeconds) {
        // Where the pointer rests when the first half second ends is where it was when
        // the window showed: a late report of the position at the start counts for that.
        originX_ = x;
        originY_ = y;
        return false;
    }
    if (!moved) {
        return false;
    }
    const int64_t dx = x - originX_, dy = y - originY_;
    return dx * dx + dy * dy > int64_t{kMoveTolerancePixels} * kMoveTolerancePixels;
}

}  // namespace merovan

// Whether the pointer has moved enough to end a run started with the any-input switch.
//
// Windows and Wine send pointer moves when a window appears, some of them to the position
// the pointer already has, and a new process may first be told a position the pointer left
// before it started. So moves in the first half second do not count, nor do moves to where
// the pointer already was; after that, a pointer more than a few pixels away from where it
// rested at the end of that half second ends the run.
#pragma once

#include <cstdint>

namespace merovan {

class PointerWatch {
  public:
    static constexpr double kSettleSeconds = 0.5;
    static constexpr int32_t kMoveTolerancePixels = 5;

    // The window showed at `now` (seconds) with the pointer at (x, y).
    void Start(int32_t x, int32_t y, double now);
    // The pointer is at (x, y) at `now`: true when that ends the run.
    bool MoveEnds(int32_t x, int32_t y, double now);

  private:
    int32_t originX_ = 0, originY_ = 0;
    int32_t lastX_ = 0, lastY_ = 0;
    double shownAt_ = 0.0;
};

}  // namespace merovan

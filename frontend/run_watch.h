// The run's watch over the renderer, ticking every half second.
//
// Once the renderer's window has been seen, the first tick without it ends the run. Before
// that, a missing window only ends the run when the renderer process has already exited or
// the renderer has had ten seconds to open its window: a slow start (a cold Wine, a busy
// machine, a large desktop to load) must not end the music and the pointer's hiding while
// the renderer is still coming up.
#pragma once

#include <cstdint>

namespace merovan {

constexpr uint32_t kWatchIntervalMs = 500;
constexpr uint64_t kRendererStartLimitMs = 10000;

class RunWatch {
  public:
    explicit RunWatch(uint64_t startMs) : startMs_(startMs) {}

    // True when the run should end now.
    bool ShouldEnd(bool windowFound, bool rendererExited, uint64_t nowMs) {
        if (windowFound) {
            seen_ = true;
            return false;
        }
        return seen_ || rendererExited || nowMs - startMs_ >= kRendererStartLimitMs;
    }

  private:
    uint64_t startMs_;
    bool seen_ = false;
};

}  // namespace merovan

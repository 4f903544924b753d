// The animation's clock, from the performance counter's counts.
#pragma once

#include <cstdint>

namespace merovan {

// Seconds from `startCount` to `nowCount`, in double precision: a float's steps grow to 8 ms
// after a day and 16 ms after three, and a run left on over a weekend would move in jerks.
inline double AnimationSeconds(int64_t startCount, int64_t nowCount, int64_t countsPerSecond) {
    return static_cast<double>(nowCount - startCount) / static_cast<double>(countsPerSecond);
}

}  // namespace merovan

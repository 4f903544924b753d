#include "renderer/frame_pacer.h"

#include <algorithm>

namespace merovan {

namespace {
constexpr double kDefaultRefreshHz = 60.0;
constexpr uint32_t kHighestRefreshHz = 1000;
}  // namespace

double RefreshPeriodSeconds(uint32_t reportedHz) {
    if (reportedHz <= 1 || reportedHz > kHighestRefreshHz) {
        return 1.0 / kDefaultRefreshHz;
    }
    return 1.0 / reportedHz;
}

FramePacer::FramePacer(double periodSeconds, bool swapIntervalSet)
    : period_(periodSeconds), mode_(swapIntervalSet ? Mode::kProbing : Mode::kTimer) {}

double FramePacer::AfterSwap(double now) {
    if (mode_ == Mode::kDriverWaits) {
        return 0.0;
    }
    if (mode_ == Mode::kProbing) {
        if (probed_ == 0) {
            probeStart_ = now;
        }
        if (probed_++ < kProbeFrames) {
            return 0.0;
        }
        const double mean = (now - probeStart_) / kProbeFrames;
        if (mean >= kTooFastShare * period_) {
            mode_ = Mode::kDriverWaits;
            return 0.0;
        }
        mode_ = Mode::kTimer;
    }
    // Frames start on a fixed schedule, so a late wake-up does not slow the average rate; a
    // frame that starts more than a whole period late starts the schedule afresh.
    nextDue_ = nextDue_ < 0.0 ? now : nextDue_ + period_;
    if (nextDue_ < now - period_) {
        nextDue_ = now;
    }
    return std::max(0.0, nextDue_ - now);
}

}  // namespace merovan

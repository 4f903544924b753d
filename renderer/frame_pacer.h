// Pacing of frames to the display's refresh, for the paced-frames switch.
//
// A swap interval of one makes the driver wait for the refresh at each swap. Some drivers
// do not offer it, and some accept it and still swap at once (a virtual X display has no
// refresh to wait for). So the pacer watches the first frames; when they come faster than
// the refresh, or when there is no swap interval at all, it asks the loop to wait on a timer
// until the next refresh is due.
#pragma once

#include <cstdint>

namespace merovan {

// Seconds per refresh for a rate the system reports; 0 and 1 mean "the hardware's
// default" on Windows and, like rates no display has, give 60 Hz.
double RefreshPeriodSeconds(uint32_t reportedHz);

class FramePacer {
  public:
    FramePacer(double periodSeconds, bool swapIntervalSet);

    // A frame was swapped at `now` (seconds, any origin). Returns how long the loop waits
    // before it draws the next frame: 0 while the driver's own wait is trusted.
    double AfterSwap(double now);

  private:
    enum class Mode { kProbing, kDriverWaits, kTimer };

    static constexpr int kProbeFrames = 30;
    static constexpr double kTooFastShare = 0.9;  // of the period, averaged over the probe

    double period_;
    Mode mode_;
    int probed_ = 0;
    double probeStart_ = 0.0;
    double nextDue_ = -1.0;
};

}  // namespace merovan

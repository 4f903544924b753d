// The run's two snapshot pictures on disk: taken and written as the run starts, removed
// when their owner goes, so that no copy of the user's desktop stays behind.
#pragma once

#include <windows.h>

#include "frontend/snapshot_files.h"

namespace merovan {

class Snapshots {
  public:
    // Copies the screen's `area` (in the screen's coordinates, the primary monitor's top-left
    // at 0, 0) and writes it and the background picture, each at the first place that takes
    // it. A picture that could not be taken or written is told in a debug line.
    explicit Snapshots(const RECT& area);
    // Removes the files written: only once the renderer has gone, which read them.
    ~Snapshots();
    Snapshots(const Snapshots&) = delete;
    Snapshots& operator=(const Snapshots&) = delete;

    const WrittenSnapshots& Paths() const { return paths_; }

  private:
    WrittenSnapshots paths_;
};

}  // namespace merovan

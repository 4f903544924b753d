#include "frontend/run_watch.h"

#include <gtest/gtest.h>

namespace merovan {
namespace {

TEST(RunWatch, WaitsForTheRendererThenEndsWhenItsWindowGoes) {
    struct Tick {
        uint64_t ms;
        bool window, exited, end;
    };
    struct Row {
        const char* name;
        std::vector<Tick> ticks;
    };
    const Row rows[] = {
        {"normal run",
         {{500, true, false, false}, {1000, true, false, false}, {1500, false, true, true}}},
        {"slow start",
         {{500, false, false, false},
          {1000, false, false, false},
          {1500, true, false, false},
          {2000, false, false, true}}},
        {"renderer could not start", {{500, false, true, true}}},
        {"renderer never opens a window",
         {{500, false, false, false}, {9500, false, false, false}, {10000, false, false, true}}},
        {"seen once, gone while the process lingers",
         {{500, true, false, false}, {1000, false, false, true}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RunWatch watch(0);
        for (const Tick& tick : row.ticks) {
            EXPECT_EQ(watch.ShouldEnd(tick.window, tick.exited, tick.ms), tick.end)
                << "at " << tick.ms;
        }
    }
}

}  // namespace
}  // namespace merovan

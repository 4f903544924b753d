// The renderer's switches and what they set in motion: the command line, the monitors'
// views, frame pacing and the pointer watch.
#include <gtest/gtest.h>

#include <cmath>

#include "renderer/frame_pacer.h"
#include "renderer/monitor_layout.h"
#include "renderer/pointer_watch.h"
#include "renderer/switches.h"

namespace merovan {
namespace {

TEST(RendererSwitches, AreWordsMatchedWithoutRegardToCaseAndPathsKeptWhole) {
    struct Row {
        const wchar_t* commandLine;
        bool monitors, paced, anyInput;
        const wchar_t *sheet = nullptr, *background = nullptr;  // nullptr: no /snapshots
    };
    const Row rows[] = {
        {L"", false, false, false},
        {L"/monitors", true, false, false},
        {L"/PACED", false, true, false},
        {L"  /AnyInput\t", false, false, true},
        {L"/monitors /paced /anyinput", true, true, true},
        {L"/s /monitors /x", true, false, false},   // unknown switches are ignored
        {L"/monitors/paced", false, false, false},  // words are separated by blanks
        {L"monitors -paced /anyinputs", false, false, false},
        {L"\"/paced\"", false, false, false},  // a quoted word is never a switch
        {L"/paced /Snapshots \"C:\\Users\\さくら 2\\Temp\\Merovan1.bmp\" \"\" /MONITORS", true,
         true, false, L"C:\\Users\\さくら 2\\Temp\\Merovan1.bmp", L""},
        {L"/snapshots \"/paced\" \"\" /anyinput", false, false, true, L"/paced", L""},
        {L"/anyinput /snapshots C:\\a.bmp", false, false, true, L"C:\\a.bmp", L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.commandLine)));
        const RendererSwitches switches = ParseRendererSwitches(row.commandLine);
        EXPECT_EQ(switches.everyMonitor, row.monitors);
        EXPECT_EQ(switches.pacedFrames, row.paced);
        EXPECT_EQ(switches.anyInputEnds, row.anyInput);
        ASSERT_EQ(switches.snapshots.has_value(), row.sheet != nullptr);
        if (switches.snapshots) {
            EXPECT_EQ(switches.snapshots->sheet, row.sheet);
            EXPECT_EQ(switches.snapshots->background, row.background);
        }
    }
}

TEST(MonitorLayout, EachMonitorGetsItsViewportAndPartOfTheSnapshot) {
    struct Row {
        const char* name;
        PixelRect screen;
        std::vector<PixelRect> monitors;
        std::vector<MonitorView> expected;  // viewport x, y, w, h, picture x, row
    };
    const Row rows[] = {
        {"one 1280 x 1024 monitor",
         {0, 0, 1280, 1024},
         {{0, 0, 1280, 1024}},
         {{0, 0, 1280, 1024, 0, 0}}},
        {"a smaller monitor to the right, top-aligned",
         {0, 0, 3200, 1080},
         {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}},
         {{0, 0, 1920, 1080, 0, 0}, {1920, 56, 1280, 1024, 1920, 0}}},
        {"a monitor left of and above the primary",
         {-1024, -200, 1920, 1080},
         {{0, 0, 1920, 1080}, {-1024, -200, 0, 568}},
         {{1024, 0, 1920, 1080, 1024, 200}, {0, 512, 1024, 768, 0, 0}}},
        {"three monitors, one turned upright",
         {-1080, 0, 3840, 1920},
         {{-1080, 0, 0, 1920}, {0, 0, 1920, 1080}, {1920, 420, 3840, 1500}},
         {{0, 0, 1080, 1920, 0, 0},
          {1080, 840, 1920, 1080, 1080, 0},
          {3000, 420, 1920, 1080, 3000, 420}}},
        {"an empty monitor is left out",
         {0, 0, 800, 600},
         {{0, 0, 800, 600}, {800, 0, 800, 600}},
         {{0, 0, 800, 600, 0, 0}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<MonitorView> views = LayOutMonitors(row.screen, row.monitors);
        ASSERT_EQ(views.size(), row.expected.size());
        for (size_t i = 0; i < views.size(); ++i) {
            SCOPED_TRACE(i);
            const MonitorView& got = views[i];
            const MonitorView& want = row.expected[i];
            EXPECT_EQ(got.viewportX, want.viewportX);
            EXPECT_EQ(got.viewportY, want.viewportY);
            EXPECT_EQ(got.width, want.width);
            EXPECT_EQ(got.height, want.height);
            EXPECT_EQ(got.pictureX, want.pictureX);
            EXPECT_EQ(got.pictureFirstRow, want.pictureFirstRow);
        }
    }
}

TEST(FramePacing, RefreshRatesTheSystemReports) {
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(0), 1.0 / 60);  // "hardware default"
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(1), 1.0 / 60);
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(75), 1.0 / 75);
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(144), 1.0 / 144);
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(100000), 1.0 / 60);
}

// Draws `frames` frames, each taking `drawSeconds` plus what the pacer asks to wait;
// returns the frames per second.
double PacedRate(FramePacer& pacer, double drawSeconds, int frames, double& clock) {
    const double start = clock;
    for (int i = 0; i < frames; ++i) {
        clock += drawSeconds;
        clock += pacer.AfterSwap(clock);
    }
    return frames / (clock - start);
}

TEST(FramePacing, FastSwapsArePacedToTheRefresh) {
    constexpr double kPeriod = 1.0 / 60;
    struct Row {
        const char* name;
        bool swapInterval;
        double drawSeconds;
        double rate;
    };
    const Row rows[] = {
        {"no swap interval, fast frames", false, 0.002, 60.0},
        {"swap interval that does not wait", true, 0.002, 60.0},
        {"swap interval that waits for the refresh", true, kPeriod, 60.0},
        {"frames slower than the refresh are not slowed further", false, 0.025, 40.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FramePacer pacer(kPeriod, row.swapInterval);
        double clock = 100.0;
        PacedRate(pacer, row.drawSeconds, 40, clock);  // past the first frames' probe
        EXPECT_NEAR(PacedRate(pacer, row.drawSeconds, 600, clock), row.rate, 0.1);
    }
}

TEST(FramePacing, LateWakeUpsKeepTheAverageRate) {
    // A timer that wakes up to 15 ms late, as a coarse system timer does.
    FramePacer pacer(1.0 / 60, false);
    double clock = 0.0;
    const double start = clock;
    for (int i = 0; i < 600; ++i) {
        clock += 0.003;
        const double wait = pacer.AfterSwap(clock);
        clock += wait > 0.0 ? std::ceil(wait / 0.015) * 0.015 : 0.0;
    }
    EXPECT_NEAR(600 / (clock - start), 60.0, 1.0);
}

TEST(PointerWatch, OnlyARealMoveAfterTheFirstHalfSecondEnds) {
    struct Step {
        int32_t x, y;
        double at;
        bool ends;
    };
    struct Row {
        const char* name;
        std::vector<Step> steps;
    };
    // The window showed at 10 s with the pointer at (100, 100).
    const Row rows[] = {
        {"twenty pixels later on", {{120, 100, 11.0, true}}},
        {"a move of five pixels is not enough", {{103, 104, 11.0, false}, {105, 100, 11.2, false}}},
        {"six pixels are", {{106, 100, 11.0, true}}},
        {"early moves are ignored", {{150, 150, 10.2, false}, {100, 100, 10.4, false}}},
        {"the pointer's place at the end of the first half second is the start",
         {{150, 150, 10.3, false}, {153, 150, 11.0, false}, {100, 100, 11.1, true}}},
        {"a move to where the pointer already is does not count",
         {{150, 150, 10.3, false}, {150, 150, 11.0, false}, {156, 150, 11.1, true}}},
        {"the same position as at the start", {{100, 100, 12.0, false}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PointerWatch watch;
        watch.Start(100, 100, 10.0);
        for (const Step& step : row.steps) {
            EXPECT_EQ(watch.MoveEnds(step.x, step.y, step.at), step.ends)
                << step.x << "," << step.y << " at " << step.at;
        }
    }
}

}  // namespace
}  // namespace merovan

#include "renderer/twist.h"

#include "renderer/animation_clock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace merovan {
namespace {

TEST(Twist, RingZeroAtTimeZero) {
    const RingShape ring = RingShapeAt(0, 0.0);
    EXPECT_DOUBLE_EQ(ring.texShift, 0.0);
    EXPECT_DOUBLE_EQ(ring.radius, 0.8);
    EXPECT_DOUBLE_EQ(ring.shiftX, 0.0);
}

TEST(Twist, KnownValues) {
    // Ring 0 at t = 50π/3 s, where every sine's argument is a whole multiple of π/6
    // (1.23 t = 20.5π, 0.78 t = 13π, t = 16π + 2π/3, 0.8 t = 12π + 4π/3, 0.9 t = 15π):
    //   texture offset 0.45 sin(−20.5π) + 0.53 sin(13π)    = −0.45
    //   radius   0.3 sin(2π/3) + 0.15 sin(−4π/3) + 0.8      = 0.8 + 0.45 · √3/2
    //   x offset 0.3 sin(15π) + 0.25 sin(20.5π)             = 0.25
    const double pi = 3.14159265358979323846;
    const RingShape ring = RingShapeAt(0, 50 * pi / 3);
    EXPECT_NEAR(ring.texShift, -0.45, 1e-12);
    EXPECT_NEAR(ring.radius, 0.8 + 0.225 * std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(ring.shiftX, 0.25, 1e-12);
}

TEST(Twist, ShapesStayInTheirRangesOverTime) {
    double minRadius = 10, maxRadius = -10, maxShift = 0, maxTex = 0;
    for (int step = 0; step < 20000; ++step) {
        const double t = step * 0.0137;
        for (int k = 0; k < kRingCount; ++k) {
            const RingShape ring = RingShapeAt(k, t);
            minRadius = std::min(minRadius, ring.radius);
            maxRadius = std::max(maxRadius, ring.radius);
            maxShift = std::max(maxShift, std::fabs(ring.shiftX));
            maxTex = std::max(maxTex, std::fabs(ring.texShift));
        }
    }
    EXPECT_GE(minRadius, 0.35);
    EXPECT_LE(maxRadius, 1.25);
    EXPECT_LE(maxShift, 0.55);
    EXPECT_LE(maxTex, 0.98);
    // The motion really uses its ranges.
    EXPECT_LT(minRadius, 0.4);
    EXPECT_GT(maxRadius, 1.2);
    EXPECT_GT(maxShift, 0.5);
    EXPECT_GT(maxTex, 0.9);
}

// Frames at 60 Hz by a 10 MHz counter, at the start and after three days: each changes the
// rings and the turn (as OpenGL gets it) as the motion does between the same instants, ±1 %.
TEST(Twist, FramesThreeDaysInAdvanceAsSmoothlyAsAtTheStart) {
    constexpr int64_t kHz = 10'000'000, kFrame = kHz / 60, kBoot = 987'654'321'098;
    constexpr double kStep = static_cast<double>(kFrame) / kHz;
    const auto rings = [](double from, double to) {
        double sum = 0.0;
        for (int k = 0; k < kRingCount; ++k) {
            const RingShape a = RingShapeAt(k, from), b = RingShapeAt(k, to);
            sum += std::fabs(b.radius - a.radius) + std::fabs(b.shiftX - a.shiftX) +
                   std::fabs(b.texShift - a.texShift);
        }
        return sum;
    };
    const auto turn = [](double from, double to) {
        return std::remainder(
            static_cast<float>(TurnDegreesAt(to)) - static_cast<float>(TurnDegreesAt(from)), 360.0);
    };
    for (const int64_t start : {int64_t{0}, 3 * 24 * 3600 * kHz}) {
        for (int64_t count = start; count < start + 120 * kFrame; count += kFrame) {
            const double from = AnimationSeconds(kBoot, kBoot + count, kHz);
            const double to = AnimationSeconds(kBoot, kBoot + count + kFrame, kHz);
            const double exact = static_cast<double>(count) / kHz,
                         ideal = rings(exact, exact + kStep);
            EXPECT_NEAR(rings(from, to), ideal, 0.01 * ideal) << count;
            EXPECT_NEAR(turn(from, to), kTurnDegreesPerSecond * kStep, 0.01 * 20 * kStep) << count;
        }
    }
}

TEST(Twist, SheetVertices) {
    const RingShape plain{0.0, 1.0, 0.0};
    // Column 0: at the side, shade 0; column 8: the crest facing the viewer.
    const SheetVertex side = SheetVertexAt(0, 0, plain);
    EXPECT_FLOAT_EQ(side.x, 1.0f);
    EXPECT_FLOAT_EQ(side.z, 0.0f);
    EXPECT_FLOAT_EQ(side.shade, 0.0f);
    const SheetVertex crest = SheetVertexAt(3, 8, plain);
    EXPECT_NEAR(crest.x, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(crest.z, 1.0f);
    EXPECT_FLOAT_EQ(crest.shade, 1.2f);  // OpenGL clamps it to 1
    EXPECT_FLOAT_EQ(crest.y, 0.515625f);
    EXPECT_FLOAT_EQ(crest.t, 0.28125f);
    // Rear half is black.
    EXPECT_LT(SheetVertexAt(0, 24, plain).shade, 0.0f);

    // Column 32 closes the ring where column 0 is, with s three units on: no seam.
    const RingShape shaped{0.4, 0.7, -0.3};
    const SheetVertex first = SheetVertexAt(5, 0, shaped);
    const SheetVertex closing = SheetVertexAt(5, 32, shaped);
    EXPECT_FLOAT_EQ(closing.x, first.x);
    EXPECT_FLOAT_EQ(closing.z, first.z);
    EXPECT_FLOAT_EQ(closing.s, first.s + 3.0f);
    EXPECT_FLOAT_EQ(first.x, 0.7f - 0.3f);
    EXPECT_FLOAT_EQ(first.s, 0.4f);
    // The sheet spans y = 0 … 5.328125.
    EXPECT_FLOAT_EQ(SheetVertexAt(31, 0, shaped).y, 5.328125f);
}

}  // namespace
}  // namespace merovan

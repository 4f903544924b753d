// The twist: per-ring radius, sideways offset and texture offset of the sheet, and the
// position, shade and texture coordinate of each sheet vertex. Pure maths, no OpenGL.
#pragma once

namespace merovan {

constexpr int kRingCount = 32;
constexpr int kSegmentCount = 32;              // columns around a ring; column 32 closes it
constexpr double kRingSpacing = 0.171875;      // rings along y
constexpr double kTexturePerColumn = 0.09375;  // s per column (three repeats around a ring)
constexpr double kTexturePerRing = 0.09375;    // t per ring
// The angle step uses the single-precision value of pi, 3.14159274.
constexpr double kPiSingle = static_cast<double>(3.14159265358979323846f);
constexpr double kSegmentAngleFactor = 0.0625;
constexpr double kShadeGain = 1.2;
constexpr double kTurnDegreesPerSecond = 20.0;  // anticlockwise, about the viewing axis

struct RingShape {
    double texShift;  // added to s of every vertex of the ring
    double radius;
    double shiftX;  // offset of the ring's centre along x
};

// The shape of ring `k` at animation time `t` seconds.
RingShape RingShapeAt(int k, double t);

// The sheet's turn at `t` seconds, within one whole turn: as a float, the angle of days of
// turning would move in steps of half a degree.
double TurnDegreesAt(double t);

struct SheetVertex {
    float s, t;     // texture coordinate
    float shade;    // grey level before OpenGL clamps it to 0 … 1
    float x, y, z;  // position in the sheet's own coordinates
};

// Vertex of ring `k` (0 … 31) and column `j` (0 … 32) for a ring of the given shape.
SheetVertex SheetVertexAt(int k, int j, const RingShape& ring);

}  // namespace merovan

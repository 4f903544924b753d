#include "renderer/twist.h"

#include <cmath>

namespace merovan {

RingShape RingShapeAt(int k, double t) {
    const double ring = k;
    RingShape shape;
    shape.texShift = 0.45 * std::sin(ring * (1.0 / 18.0) - 1.23 * t) +
                     0.53 * std::sin(ring * (1.0 / 12.0) + 0.78 * t);
    shape.radius = 0.3 * std::sin(ring * (1.0 / 8.0) + t) +
                   0.15 * std::sin(ring * (1.0 / 3.0) - 0.8 * t) + 0.8;
    shape.shiftX =
        0.3 * std::sin(ring * (1.0 / 6.0) + 0.9 * t) + 0.25 * std::sin(0.2 * ring + 1.23 * t);
    return shape;
}

double TurnDegreesAt(double t) {
    return std::fmod(kTurnDegreesPerSecond * t, 360.0);
}

SheetVertex SheetVertexAt(int k, int j, const RingShape& ring) {
    const double theta = (j % kSegmentCount) * kPiSingle * kSegmentAngleFactor;
    const double r = ring.radius;
    SheetVertex v;
    v.s = static_cast<float>(kTexturePerColumn * j + ring.texShift);
    v.t = static_cast<float>(kTexturePerRing * k);
    v.shade = static_cast<float>(kShadeGain * r * std::sin(theta));
    v.x = static_cast<float>(r * std::cos(theta) + ring.shiftX);
    v.y = static_cast<float>(kRingSpacing * k);
    v.z = static_cast<float>(r * std::sin(theta));
    return v;
}

}  // namespace merovan

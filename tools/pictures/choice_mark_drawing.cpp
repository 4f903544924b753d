#include "tools/pictures/choice_mark_drawing.h"

namespace merovan::pictures {
namespace {

constexpr Colour kFrame = Rgb(0x5A5A5A);
// The box looks set into the panel: a little shaded under its top edge.
constexpr Colour kBoxTop = Rgb(0xE3E3DD);
constexpr Colour kBoxBottom = Rgb(0xFFFFFF);
constexpr int kSquareInset = 3;  // from the picture's edge to the chosen mark's square
constexpr Colour kSquareTop = Rgb(0x3D8BFF);
constexpr Colour kSquareBottom = Rgb(0x0B50D8);
constexpr Colour kSquareRim = Rgb(0x1444A8);

}  // namespace

// Every edge on a pixel boundary, so the small marks stay crisp.
Raster DrawChoiceMark(bool chosen) {
    constexpr int s = kChoiceMarkSide;
    Raster p(s, s, kFrame);
    for (int y = 1; y < s - 1; ++y) {
        const Colour c = Mix(kBoxTop, kBoxBottom, static_cast<float>(y - 1) / (s - 3));
        for (int x = 1; x < s - 1; ++x) {
            p.Set(x, y, c);
        }
    }
    if (chosen) {
        constexpr int first = kSquareInset, last = s - 1 - kSquareInset;
        for (int y = first; y <= last; ++y) {
            const Colour c =
                Mix(kSquareTop, kSquareBottom, static_cast<float>(y - first) / (last - first));
            for (int x = first; x <= last; ++x) {
                const bool rim = x == first || x == last || y == first || y == last;
                p.Set(x, y, rim ? Mix(c, kSquareRim, 0.5f) : c);
            }
        }
    }
    return p;
}

}  // namespace merovan::pictures

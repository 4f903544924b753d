#include "tools/pictures/button_face_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace merovan::pictures {
namespace {

constexpr int kEdge = 4;  // the frame's width, and each corner's side
// The rows the side edges span, and the one where they have their own colours.
constexpr int kSideTop = kEdge;
constexpr int kSideBottom = kButtonFaceHeight - 1 - kEdge;
constexpr int kSideMiddle = (kSideTop + kSideBottom) / 2;
constexpr Colour kDialog = Rgb(0xECE9D8);

// A change of colour in 8-bit steps.
struct Shift {
    int r, g, b;
};

// One side of the frame, outermost row or column first.
struct FrameSide {
    uint32_t layers[kEdge];
};

struct FaceLook {
    FrameSide top, bottom, left, right;
    int outline;  // the layer holding the outline; the layers inside it are the face
    // Added to the face layers of the side edges at their first and last rows; rows
    // between shade evenly through the side's own colours at the middle row.
    Shift sideTop, sideBottom;
    // The inside, never drawn by the button, shades from the first colour at the top to
    // the second at the bottom, as the face of a button drawn whole would.
    uint32_t insideTop, insideBottom;
};

const FaceLook& LookOf(ButtonFace face) {
    static const FaceLook kNormal{{{0xDCD6C2, 0x003C74, 0xF3F3EE, 0xF3F3EE}},
                                  {{0xFAFAF6, 0x003C74, 0xD6D0C5, 0xE2DFD6}},
                                  {{0xE2DECB, 0x003C74, 0xF4F4F0, 0xF4F4F0}},
                                  {{0xF0EEE0, 0x003C74, 0xE8E5DF, 0xEEEDE7}},
                                  1,
                                  {9, 9, 12},
                                  {-8, -9, -10},
                                  0xF3F3EE,
                                  0xE2DFD6};
    // An orange inner edge, light at the top and deep at the bottom.
    static const FaceLook kHighlight{{{0xDCD6C2, 0x003C74, 0xFFF0CF, 0xFDD889}},
                                     {{0xFAFAF6, 0x003C74, 0xE59700, 0xF8B330}},
                                     {{0xE2DECB, 0x003C74, 0xFCCA69, 0xFBCA6A}},
                                     {{0xF0EEE0, 0x003C74, 0xFCCA69, 0xFBCA6A}},
                                     1,
                                     {1, 8, 19},
                                     {-2, -14, -34},
                                     0xF3F3EE,
                                     0xE2DFD6};
    // The outline a pixel further in, and the face darker at the top, as if pushed down.
    static const FaceLook kPressed{{{0xECE9D8, 0xDCD6C2, 0x003C74, 0xD1CCC1}},
                                   {{0xECE9D8, 0xFAFAF6, 0x003C74, 0xF2F1EE}},
                                   {{0xECE9D8, 0xE2DECB, 0x003C74, 0xD7D4CB}},
                                   {{0xECE9D8, 0xF0EEE0, 0x003C74, 0xE4E3DC}},
                                   2,
                                   {-6, -8, -10},
                                   {12, 13, 16},
                                   0xD1CCC1,
                                   0xF2F1EE};
    // A blue inner edge.
    static const FaceLook kSelected{{{0xDCD6C2, 0x003C74, 0xCEE7FF, 0xCEE7FF}},
                                    {{0xFAFAF6, 0x003C74, 0x6982EE, 0x6982EE}},
                                    {{0xE2DECB, 0x003C74, 0xA9C5EF, 0xA8C6F0}},
                                    {{0xF0EEE0, 0x003C74, 0xA9C5EF, 0xA9C5EF}},
                                    1,
                                    {22, 20, 10},
                                    {-38, -40, -1},
                                    0xF3F3EE,
                                    0xE2DFD6};
    // A grey outline on a flat face, with no edge of its own around it.
    static const FrameSide kDisableSide{{0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}};
    constexpr Shift kFlat{0, 0, 0};
    static const FaceLook kDisable{kDisableSide, kDisableSide, kDisableSide, kDisableSide, 1,
                                   kFlat,        kFlat,        0xF5F4EA,     0xF5F4EA};
    switch (face) {
        case ButtonFace::kHighlight:
            return kHighlight;
        case ButtonFace::kPressed:
            return kPressed;
        case ButtonFace::kSelected:
            return kSelected;
        case ButtonFace::kDisable:
            return kDisable;
        case ButtonFace::kNormal:
            break;
    }
    return kNormal;
}

// The normal face's top-left corner as it is drawn. Every other corner is this one
// recoloured: each pixel keeps its blend of the frame's parts, with the parts' colours
// where the new corner lies swapped in.
constexpr uint32_t kCornerDrawn[kEdge][kEdge] = {
    {0xE9E7D5, 0xE4DFCE, 0xE1DDCA, 0xE0DCC9},
    {0xE4DFCE, 0xE6E1D0, 0x7A95A8, 0x255783},
    {0xE2DECB, 0x7A95A8, 0x557DA2, 0xC0CFDD},
    {0xE2DECB, 0x255783, 0xBFCEDC, 0xFEFEFE},
};

// How much of a corner pixel the edge outside the outline, the outline and the face
// cover; the dialog colour shows through the rest. By row, then column; the outline's
// quarter ring bends through (3, 1), (2, 2) and (1, 3).
struct Cover {
    float outer, outline, face;
};
constexpr Cover kCornerCover[kEdge][kEdge] = {
    {{0.2f, 0.0f, 0.0f}, {0.5f, 0.0f, 0.0f}, {0.75f, 0.0f, 0.0f}, {0.9f, 0.0f, 0.0f}},
    {{0.5f, 0.0f, 0.0f}, {0.55f, 0.0f, 0.0f}, {0.25f, 0.5f, 0.0f}, {0.0f, 0.85f, 0.0f}},
    {{0.75f, 0.0f, 0.0f}, {0.25f, 0.5f, 0.0f}, {0.0f, 0.65f, 0.35f}, {0.0f, 0.25f, 0.75f}},
    {{0.9f, 0.0f, 0.0f}, {0.0f, 0.85f, 0.0f}, {0.0f, 0.25f, 0.75f}, {0.0f, 0.0f, 1.0f}},
};

float Clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

Colour Shifted(Colour c, Shift s) {
    return Colour{Clamp01(c.r + s.r / 255.0f), Clamp01(c.g + s.g / 255.0f),
                  Clamp01(c.b + s.b / 255.0f), c.a};
}

// `c` moved by `weight` times the step from `from` to `to`.
Colour Moved(Colour c, Colour from, Colour to, float weight) {
    return Colour{c.r + weight * (to.r - from.r), c.g + weight * (to.g - from.g),
                  c.b + weight * (to.b - from.b), c.a};
}

// Layer `layer` of a side edge at row `y`.
Colour SideColour(const FaceLook& look, const FrameSide& side, int layer, int y) {
    const Colour middle = Rgb(side.layers[layer]);
    if (layer <= look.outline) {
        return middle;
    }
    const Shift end = y < kSideMiddle ? look.sideTop : look.sideBottom;
    const float t = static_cast<float>(std::abs(y - kSideMiddle)) / (kSideMiddle - kSideTop);
    return Mix(middle, Shifted(middle, end), t);
}

struct Corner {
    bool right, bottom;
};

// Layer `layer` at the corner's pixel (u, v), counted from the button's outer edges: the
// top or bottom edge's colour above the mitre, the side's on and below it, so that the
// sides' shading runs on into the corners.
Colour LayerAt(const FaceLook& look, Corner corner, int layer, int u, int v) {
    if (v < u) {
        return Rgb((corner.bottom ? look.bottom : look.top).layers[layer]);
    }
    return SideColour(look, corner.right ? look.right : look.left, layer,
                      corner.bottom ? kSideBottom : kSideTop);
}

Colour CornerPixel(const FaceLook& look, Corner corner, int u, int v) {
    // The pressed face's frame lies a pixel further in, the dialog colour around it.
    const int inset = look.outline - 1;
    if (u < inset || v < inset) {
        return LayerAt(look, corner, 0, u, v);
    }
    const int cu = u - inset, cv = v - inset;
    const FaceLook& drawn = LookOf(ButtonFace::kNormal);
    constexpr Corner kDrawnCorner{false, false};
    // The face layer a pixel takes is the one as deep in as the pixel lies from both edges.
    const int faceLayer = std::min(kEdge - 1, std::max(2, std::min(cu, cv)));
    const Cover& cover = kCornerCover[cv][cu];
    Colour c = Rgb(kCornerDrawn[cv][cu]);
    c = Moved(c, LayerAt(drawn, kDrawnCorner, 0, cu, cv), LayerAt(look, corner, inset, u, v),
              cover.outer);
    c = Moved(c, LayerAt(drawn, kDrawnCorner, 1, cu, cv), LayerAt(look, corner, inset + 1, u, v),
              cover.outline);
    c = Moved(c, LayerAt(drawn, kDrawnCorner, faceLayer, cu, cv),
              LayerAt(look, corner, std::min(kEdge - 1, inset + faceLayer), u, v), cover.face);
    return Colour{Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1.0f};
}

}  // namespace

Raster DrawButtonFace(ButtonFace face) {
    const FaceLook& look = LookOf(face);
    constexpr int w = kButtonFaceWidth, h = kButtonFaceHeight;
    Raster p(w, h, kDialog);
    for (int y = kSideTop; y <= kSideBottom; ++y) {
        const float t = static_cast<float>(y - kSideTop) / (kSideBottom - kSideTop);
        const Colour c = Mix(Rgb(look.insideTop), Rgb(look.insideBottom), t);
        for (int x = kEdge; x < w - kEdge; ++x) {
            p.Set(x, y, c);
        }
    }
    for (int layer = 0; layer < kEdge; ++layer) {
        for (int x = kEdge; x < w - kEdge; ++x) {
            p.Set(x, layer, Rgb(look.top.layers[layer]));
            p.Set(x, h - 1 - layer, Rgb(look.bottom.layers[layer]));
        }
        for (int y = kSideTop; y <= kSideBottom; ++y) {
            p.Set(layer, y, SideColour(look, look.left, layer, y));
            p.Set(w - 1 - layer, y, SideColour(look, look.right, layer, y));
        }
    }
    for (int v = 0; v < kEdge; ++v) {
        for (int u = 0; u < kEdge; ++u) {
            p.Set(u, v, CornerPixel(look, {false, false}, u, v));
            p.Set(w - 1 - u, v, CornerPixel(look, {true, false}, u, v));
            p.Set(u, h - 1 - v, CornerPixel(look, {false, true}, u, v));
            p.Set(w - 1 - u, h - 1 - v, CornerPixel(look, {true, true}, u, v));
        }
    }
    return p;
}

}  // namespace merovan::pictures

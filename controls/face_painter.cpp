#include "controls/face_painter.h"

#include <cmath>

namespace controls {

void PaintGradient(Pixels& surface, bool shadeOnTop) {
    const uint32_t top = shadeOnTop ? kShadeColour : kLightColour;
    const uint32_t bottom = shadeOnTop ? kLightColour : kShadeColour;
    const int last = surface.height - 1;
    for (int y = 0; y < surface.height; ++y) {
        uint8_t row[3];
        for (int channel = 0; channel < 3; ++channel) {
            // Channels are 16 bits wide, the colour in the high byte, as GradientFill takes them.
            const int shift = 16 - 8 * channel;  // blue, green, red: a COLORREF's bytes reversed
            const int a = static_cast<int>((top >> shift) & 0xFF) << 8;
            const int b = static_cast<int>((bottom >> shift) & 0xFF) << 8;
            const int value = last == 0 ? a : a + (b - a) * y / last;
            row[channel] = static_cast<uint8_t>(value >> 8);
        }
        for (int x = 0; x < surface.width; ++x) {
            uint8_t* p = surface.At(x, y);
            p[0] = row[0];
            p[1] = row[1];
            p[2] = row[2];
        }
    }
}

namespace {

struct Piece {
    int sx, sy, sw, sh;
    int dx, dy, dw, dh;
};

// Stretches with pixel replication, as StretchBlt does for an enlargement along one axis.
void Copy(Pixels& surface, const Pixels& face, const Piece& p) {
    if (p.dw <= 0 || p.dh <= 0 || p.sw <= 0 || p.sh <= 0)
        return;
    for (int y = 0; y < p.dh; ++y) {
        const int ty = p.dy + y;
        if (ty < 0 || ty >= surface.height)
            continue;
        const int sy = p.sy + y * p.sh / p.dh;
        for (int x = 0; x < p.dw; ++x) {
            const int tx = p.dx + x;
            if (tx < 0 || tx >= surface.width)
                continue;
            const int sx = p.sx + x * p.sw / p.dw;
            const uint8_t* from = face.At(sx, sy);
            uint8_t* to = surface.At(tx, ty);
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}

}  // namespace

void PaintFrame(Pixels& surface, const Pixels& face) {
    if (face.width < kFacePictureWidth || face.height < kFacePictureHeight)
        return;
    const int w = surface.width, h = surface.height, f = kFrameWidthPixels;
    const int edgeW = kFacePictureWidth - 2 * f;   // 56
    const int edgeH = kFacePictureHeight - 2 * f;  // 17
    const int right = kFacePictureWidth - f;       // 60
    const int bottom = kFacePictureHeight - f;     // 21
    const Piece pieces[] = {
        {0, 0, f, f, 0, 0, f, f},                       // top-left corner
        {f, 0, edgeW, f, f, 0, w - 2 * f, f},           // top edge
        {right, 0, f, f, w - f, 0, f, f},               // top-right corner
        {right, f, f, edgeH, w - f, f, f, h - 2 * f},   // right edge
        {right, bottom, f, f, w - f, h - f, f, f},      // bottom-right corner
        {f, bottom, edgeW, f, f, h - f, w - 2 * f, f},  // bottom edge
        {0, bottom, f, f, 0, h - f, f, f},              // bottom-left corner
        {0, f, f, edgeH, 0, f, f, h - 2 * f},           // left edge
    };
    for (const Piece& piece : pieces)
        Copy(surface, face, piece);
}

CaptionRows CaptionPlace(int height, int dpi) {
    constexpr double kStandardDpi = 96;
    constexpr double kLineHeightPx = 13;
    // The line is centred together with 1⅓ pixels of room below it, so that it stands
    // ⅔ of a pixel above the middle at 96 dots per inch; on other screens all of it scales.
    constexpr double kCentredHeightPx = kLineHeightPx + 4.0 / 3;
    const double scale = dpi / kStandardDpi;
    const int top = static_cast<int>(std::lround((height - kCentredHeightPx * scale) / 2));
    return CaptionRows{top, top + static_cast<int>(std::lround(kLineHeightPx * scale))};
}

}  // namespace controls

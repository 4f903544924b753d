#include "tools/pictures/hand_cursor_drawing.h"

#include <cstring>
#include <stdexcept>

namespace merovan::pictures {
namespace {

// Drawn pixel by pixel, as a two-colour cursor wants: '#' black, 'o' white, '.' clear.
// The rows run from the fingertip's outline down; the folded fingers' knuckles step down
// to the right of the raised one, and the thumb reaches out to the left.
constexpr int kFirstRow = kHandHotSpotY - 1;
// clang-format off
constexpr const char* kHand[] = {
    "...........###..................",
    "..........#ooo#.................",
    "..........#ooo#.................",
    "..........#ooo#.................",
    "..........#ooo#.................",
    "..........#ooo#.................",
    "..........#ooo####..............",
    "..........#ooo#ooo####..........",
    "..........#ooo#ooo#ooo###.......",
    ".....##...#ooo#ooo#ooo#oo#......",
    "....#oo#..#ooo#ooo#ooo#oo#......",
    "....#ooo#.#ooo#ooo#ooo#oo#......",
    ".....#ooo##ooooooooooooooo#.....",
    ".....#oooooooooooooooooooo#.....",
    "......#ooooooooooooooooooo#.....",
    ".......#oooooooooooooooooo#.....",
    "........#ooooooooooooooooo#.....",
    ".........#oooooooooooooooo#.....",
    "..........#oooooooooooooo#......",
    "...........#ooooooooooooo#......",
    "...........#ooooooooooooo#......",
    "...........#ooooooooooooo#......",
    "...........###############......",
};
// clang-format on

}  // namespace

Raster DrawHandCursor() {
    Raster p(kHandCursorSide, kHandCursorSide);
    int y = kFirstRow;
    for (const char* row : kHand) {
        if (std::strlen(row) != kHandCursorSide || y >= kHandCursorSide) {
            throw std::logic_error("hand cursor: a row does not fit the cursor");
        }
        for (int x = 0; x < kHandCursorSide; ++x) {
            if (row[x] == '#') {
                p.Set(x, y, Rgb(0x000000));
            } else if (row[x] == 'o') {
                p.Set(x, y, Rgb(0xFFFFFF));
            }
        }
        ++y;
    }
    return p;
}

}  // namespace merovan::pictures

// Chooses a palette for a 256-colour image: every colour when there are few enough, else
// median cut over the picture's colours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace merovan::pictures {

struct Rgb8 {
    uint8_t r, g, b;
    bool operator==(const Rgb8& o) const { return r == o.r && g == o.g && b == o.b; }
};

// At most `maxColours` entries, in a fixed order for the same input.
std::vector<Rgb8> ChoosePalette(const std::vector<Rgb8>& pixels, size_t maxColours);

// Index of the entry nearest to `c` (squared distance; the lower index on a tie).
size_t NearestEntry(const std::vector<Rgb8>& palette, Rgb8 c);

}  // namespace merovan::pictures

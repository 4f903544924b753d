#include "tools/pictures/palette.h"

#include <algorithm>
#include <map>

namespace merovan::pictures {
namespace {

struct Counted {
    Rgb8 colour;
    uint32_t count;
};

using Box = std::vector<Counted>;

int Channel(Rgb8 c, int channel) {
    return channel == 0 ? c.r : channel == 1 ? c.g : c.b;
}

// The channel with the widest spread in the box, and that spread.
std::pair<int, int> WidestChannel(const Box& box) {
    int best = 0, bestRange = -1;
    for (int channel = 0; channel < 3; ++channel) {
        int low = 255, high = 0;
        for (const Counted& entry : box) {
            low = std::min(low, Channel(entry.colour, channel));
            high = std::max(high, Channel(entry.colour, channel));
        }
        if (high - low > bestRange) {
            best = channel;
            bestRange = high - low;
        }
    }
    return {best, bestRange};
}

// Splits at the pixel-weighted median of the widest channel; both halves keep a colour.
std::pair<Box, Box> Split(Box box) {
    const int channel = WidestChannel(box).first;
    std::stable_sort(box.begin(), box.end(), [channel](const Counted& a, const Counted& b) {
        return Channel(a.colour, channel) < Channel(b.colour, channel);
    });
    uint64_t total = 0;
    for (const Counted& entry : box) {
        total += entry.count;
    }
    size_t cut = 1;
    for (uint64_t seen = box[0].count; cut < box.size() - 1 && seen * 2 < total; ++cut) {
        seen += box[cut].count;
    }
    return {Box(box.begin(), box.begin() + cut), Box(box.begin() + cut, box.end())};
}

Rgb8 Mean(const Box& box) {
    uint64_t r = 0, g = 0, b = 0, n = 0;
    for (const Counted& entry : box) {
        r += uint64_t{entry.colour.r} * entry.count;
        g += uint64_t{entry.colour.g} * entry.count;
        b += uint64_t{entry.colour.b} * entry.count;
        n += entry.count;
    }
    return Rgb8{static_cast<uint8_t>((r + n / 2) / n), static_cast<uint8_t>((g + n / 2) / n),
                static_cast<uint8_t>((b + n / 2) / n)};
}

}  // namespace

std::vector<Rgb8> ChoosePalette(const std::vector<Rgb8>& pixels, size_t maxColours) {
    // An ordered map keeps the result the same from run to run.
    std::map<uint32_t, uint32_t> counts;
    for (const Rgb8& c : pixels) {
        ++counts[(uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b];
    }
    Box all;
    for (const auto& [key, count] : counts) {
        all.push_back({Rgb8{static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8),
                            static_cast<uint8_t>(key)},
                       count});
    }
    std::vector<Rgb8> palette;
    if (all.size() <= maxColours) {
        for (const Counted& entry : all) {
            palette.push_back(entry.colour);
        }
        return palette;
    }

    std::vector<Box> boxes{all};
    while (boxes.size() < maxColours) {
        size_t widest = 0;
        int widestRange = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            const int range = boxes[i].size() > 1 ? WidestChannel(boxes[i]).second : 0;
            if (range > widestRange) {
                widest = i;
                widestRange = range;
            }
        }
        if (widestRange == 0) {
            break;
        }
        auto [low, high] = Split(std::move(boxes[widest]));
        boxes[widest] = std::move(low);
        boxes.insert(boxes.begin() + static_cast<std::ptrdiff_t>(widest) + 1, std::move(high));
    }
    for (const Box& box : boxes) {
        palette.push_back(Mean(box));
    }
    return palette;
}

size_t NearestEntry(const std::vector<Rgb8>& palette, Rgb8 c) {
    size_t best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].r - c.r, dg = palette[i].g - c.g, db = palette[i].b - c.b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace merovan::pictures

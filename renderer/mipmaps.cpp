#include "renderer/mipmaps.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/bitmap_rows.h"

namespace merovan {
namespace {

struct Tap {
    int32_t index;
    float weight;  // share of the output pixel's area, the taps of one pixel summing to 1
};

// For each output pixel along one axis, the input pixels its box covers and their shares.
// Boxes that stick out past an edge wrap round to the other side: the texture repeats.
std::vector<std::vector<Tap>> BoxTaps(int32_t in, int32_t out) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(out));
    const double scale = static_cast<double>(in) / out;
    for (int32_t o = 0; o < out; ++o) {
        const double centre = scale * (o + 0.5);
        const double half = in > out ? scale / 2.0 : 0.5;
        const double low = centre - half, high = centre + half;
        double area = 0.0;
        std::vector<Tap>& list = taps[static_cast<size_t>(o)];
        for (double edge = low; edge < high;) {
            const double cell = std::floor(edge);
            const double next = std::min(cell + 1.0, high);
            const double share = next - edge;
            if (share > 1e-9) {
                const int32_t index =
                    static_cast<int32_t>((static_cast<int64_t>(cell) % in + in) % in);
                list.push_back(Tap{index, static_cast<float>(share)});
                area += share;
            }
            edge = next;
        }
        for (Tap& tap : list) {
            tap.weight = static_cast<float>(tap.weight / area);
        }
    }
    return taps;
}

uint8_t ToByte(float value) {
    return static_cast<uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

PictureLevel HalveLevel(const PictureLevel& level) {
    PictureLevel half;
    half.width = std::max(1, level.width / 2);
    half.height = std::max(1, level.height / 2);
    const size_t inRow = BitmapRowBytes(level.width, 24), outRow = BitmapRowBytes(half.width, 24);
    half.pixels.assign(outRow * static_cast<size_t>(half.height), 0);
    // A side of one stays one: then only pairs along the other side are averaged.
    const bool pairX = level.width > 1, pairY = level.height > 1;
    const int count = (pairX ? 2 : 1) * (pairY ? 2 : 1);
    for (int32_t y = 0; y < half.height; ++y) {
        const uint8_t* row0 = &level.pixels[static_cast<size_t>(pairY ? 2 * y : y) * inRow];
        const uint8_t* row1 = row0 + inRow;
        uint8_t* out = &half.pixels[static_cast<size_t>(y) * outRow];
        for (int32_t x = 0; x < half.width; ++x) {
            const size_t a = static_cast<size_t>(pairX ? 2 * x : x) * 3, b = a + 3;
            for (int c = 0; c < 3; ++c) {
                int sum = row0[a + c];
                if (pairX)
                    sum += row0[b + c];
                if (pairY)
                    sum += row1[a + c] + (pairX ? row1[b + c] : 0);
                out[static_cast<size_t>(x) * 3 + c] =
                    static_cast<uint8_t>((sum + count / 2) / count);
            }
        }
    }
    return half;
}

PictureLevel ScalePicture(const BmpPicture& picture, int32_t width, int32_t height,
                          const std::atomic<bool>& cancelled) {
    const int32_t inWidth = picture.width, inRows = picture.height;
    const size_t inRow = BitmapRowBytes(inWidth, 24);
    PictureLevel level;
    level.width = width;
    level.height = height;
    const size_t outRow = BitmapRowBytes(width, 24);
    level.pixels.assign(outRow * static_cast<size_t>(height), 0);
    if (width == inWidth && height == inRows) {
        for (int32_t y = 0; y < height; ++y) {
            std::memcpy(&level.pixels[static_cast<size_t>(y) * outRow],
                        &picture.pixels[static_cast<size_t>(y) * inRow],
                        static_cast<size_t>(width) * 3);
        }
        return level;
    }
    const std::vector<std::vector<Tap>> across = BoxTaps(inWidth, width);
    const std::vector<std::vector<Tap>> down = BoxTaps(inRows, height);
    // One output row at a time: first the input rows it covers, blended into one row of the
    // input's width, then that row's columns. Memory stays at one row whatever the size.
    std::vector<float> blended(static_cast<size_t>(inWidth) * 3);
    for (int32_t y = 0; y < height; ++y) {
        if (cancelled.load(std::memory_order_relaxed)) {
            return PictureLevel{};
        }
        std::fill(blended.begin(), blended.end(), 0.0f);
        for (const Tap& tap : down[static_cast<size_t>(y)]) {
            const uint8_t* in = &picture.pixels[static_cast<size_t>(tap.index) * inRow];
            for (size_t i = 0; i < blended.size(); ++i) {
                blended[i] += tap.weight * in[i];
            }
        }
        uint8_t* out = &level.pixels[static_cast<size_t>(y) * outRow];
        for (int32_t x = 0; x < width; ++x) {
            float b = 0.0f, g = 0.0f, r = 0.0f;
            for (const Tap& tap : across[static_cast<size_t>(x)]) {
                const float* in = &blended[static_cast<size_t>(tap.index) * 3];
                b += tap.weight * in[0];
                g += tap.weight * in[1];
                r += tap.weight * in[2];
            }
            out[x * 3] = ToByte(b);
            out[x * 3 + 1] = ToByte(g);
            out[x * 3 + 2] = ToByte(r);
        }
    }
    return level;
}

}  // namespace

int32_t TextureSide(int32_t side) {
    if (side <= 1) {
        return 1;
    }
    int32_t power = 1;
    while (power * 2 <= side) {
        power *= 2;
    }
    // side lies in [power, 2 power): from 1.5 power on, the larger power is nearer.
    return side - power >= power / 2 ? power * 2 : power;
}

std::vector<PictureLevel> BuildMipLevels(const BmpPicture& picture, int32_t maxSide,
                                         const std::atomic<bool>& cancelled) {
    std::vector<PictureLevel> levels;
    if (picture.width <= 0 || picture.height == 0) {
        return levels;
    }
    const int32_t width = std::min(TextureSide(picture.width), maxSide);
    const int32_t height = std::min(TextureSide(picture.height), maxSide);
    levels.push_back(ScalePicture(picture, width, height, cancelled));
    while (levels.back().width > 1 || levels.back().height > 1) {
        if (cancelled.load(std::memory_order_relaxed)) {
            return {};
        }
        levels.push_back(HalveLevel(levels.back()));
    }
    if (cancelled.load(std::memory_order_relaxed)) {
        return {};
    }
    return levels;
}

bool IsAllBlack(const BmpPicture& picture) {
    const size_t rowBytes = BitmapRowBytes(picture.width, 24);
    const size_t used = static_cast<size_t>(picture.width) * 3;
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* row = &picture.pixels[static_cast<size_t>(y) * rowBytes];
        if (std::any_of(row, row + used, [](uint8_t byte) { return byte != 0; })) {
            return false;
        }
    }
    return true;
}

BmpPicture CropPicture(const BmpPicture& picture, int32_t x, int32_t firstRow, int32_t width,
                       int32_t rows) {
    const int32_t left = std::max(0, x), right = std::min(picture.width, x + width);
    const int32_t bottom = std::max(0, firstRow), top = std::min(picture.height, firstRow + rows);
    BmpPicture part;
    if (left >= right || bottom >= top) {
        return part;
    }
    part.width = right - left;
    part.height = top - bottom;
    const size_t inRow = BitmapRowBytes(picture.width, 24), outRow = BitmapRowBytes(part.width, 24);
    part.pixels.assign(outRow * static_cast<size_t>(part.height), 0);
    for (int32_t y = 0; y < part.height; ++y) {
        std::memcpy(&part.pixels[static_cast<size_t>(y) * outRow],
                    &picture.pixels[static_cast<size_t>(bottom + y) * inRow + left * 3],
                    static_cast<size_t>(part.width) * 3);
    }
    return part;
}

}  // namespace merovan

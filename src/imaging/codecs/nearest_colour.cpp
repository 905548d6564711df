#include "imaging/codecs/nearest_colour.h"

#include <algorithm>
#include <limits>

namespace quillmere {

namespace {

int squaredDistance(const Rgb& c, int r, int g, int b) {
    const int dr = c.r - r, dg = c.g - g, db = c.b - b;
    return dr * dr + dg * dg + db * db;
}

// The smallest and largest distance along one axis from a value to any
// value of [low, high].
void axisBounds(int value, int low, int high, int& nearest, int& farthest) {
    if (value < low) {
        nearest = low - value;
        farthest = high - value;
    } else if (value > high) {
        nearest = value - high;
        farthest = value - low;
    } else {
        nearest = 0;
        farthest = std::max(value - low, high - value);
    }
}

}  // namespace

NearestColour::NearestColour(const std::array<Rgb, 256>& palette)
    : palette_(palette), cells_(kCellsPerSide * kCellsPerSide * kCellsPerSide) {}

NearestColour::~NearestColour() = default;

std::uint8_t NearestColour::findByScan(const std::array<Rgb, 256>& palette, int r, int g, int b) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < 256; ++i) {
        const int d = squaredDistance(palette[static_cast<std::size_t>(i)], r, g, b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

const std::vector<std::uint8_t>& NearestColour::candidatesOf(int cell, int r, int g, int b) {
    std::unique_ptr<std::vector<std::uint8_t>>& slot = cells_[static_cast<std::size_t>(cell)];
    if (slot) return *slot;

    constexpr int kSpan = (1 << kCellBits) - 1;
    const int r0 = r & ~kSpan, g0 = g & ~kSpan, b0 = b & ~kSpan;
    std::array<int, 256> nearest{};
    int bound = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < 256; ++i) {
        int nr, fr, ng, fg, nb, fb;
        axisBounds(palette_[i].r, r0, r0 + kSpan, nr, fr);
        axisBounds(palette_[i].g, g0, g0 + kSpan, ng, fg);
        axisBounds(palette_[i].b, b0, b0 + kSpan, nb, fb);
        nearest[i] = nr * nr + ng * ng + nb * nb;
        bound = std::min(bound, fr * fr + fg * fg + fb * fb);
    }
    // An entry farther than `bound` from every colour of the cell loses to
    // the entry that achieves the bound; everything else stays, in index
    // order so that ties keep going to the lowest index.
    slot = std::make_unique<std::vector<std::uint8_t>>();
    for (std::size_t i = 0; i < 256; ++i) {
        if (nearest[i] <= bound) slot->push_back(static_cast<std::uint8_t>(i));
    }
    return *slot;
}

std::uint8_t NearestColour::find(int r, int g, int b) {
    const int cell =
        ((r >> kCellBits) * kCellsPerSide + (g >> kCellBits)) * kCellsPerSide + (b >> kCellBits);
    const std::vector<std::uint8_t>& candidates = candidatesOf(cell, r, g, b);
    std::uint8_t best = candidates.front();
    int bestDistance = std::numeric_limits<int>::max();
    for (const std::uint8_t i : candidates) {
        const int d = squaredDistance(palette_[i], r, g, b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

}  // namespace quillmere

#include "imaging/codecs/icon_scaling.h"

#include <algorithm>
#include <array>

namespace quillmere {

namespace {

// The sampling of one side: for each target pixel the first source pixel
// it takes, and its weights. Growing, a weight is the 256ths toward the
// next source pixel; shrinking, it packs the share of a whole source pixel
// (high 16 bits) and that of the first, partly covered one (low 16 bits),
// both in 16384ths of the target pixel.
struct Sampling {
    bool grows = false;
    std::vector<int> first;
    std::vector<int> weight;
};

Sampling samplingOf(int source, int target) {
    Sampling s;
    s.grows = target >= source;
    const std::int64_t step = (std::int64_t{source} << 16) / target;
    const std::int64_t start = s.grows ? 0x8000LL * source / target - 0x8000 : 0;
    const int share = ((target << 14) + source - 1) / source;
    std::int64_t at = start;
    for (int i = 0; i < target; ++i, at += step) {
        const auto position = static_cast<int>(at >> 16);
        s.first.push_back(std::max(0, position));
        if (s.grows) {
            const bool inside = position >= 0 && position < source - 1;
            s.weight.push_back(inside ? static_cast<int>((at >> 8) & 0xFF) : 0);
        } else {
            const auto firstShare = static_cast<int>(((0x10000 - (at & 0xFFFF)) * share) >> 16);
            s.weight.push_back(firstShare | (share << 16));
        }
    }
    return s;
}

using Channels = std::array<std::uint32_t, 4>;  // alpha, red, green, blue

Channels channelsOf(std::uint32_t pixel) {
    return {pixel >> 24, (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF};
}

std::uint32_t pixelOf(const Channels& c) {
    return argb(c[0] & 0xFF, c[1] & 0xFF, c[2] & 0xFF, c[3] & 0xFF);
}

// The weighted sum of the source pixels one shrinking target pixel covers
// along a line through `pixel`, `step` apart: the first with its share,
// the whole ones after it, and the last with what is left of 16384.
Channels covered(const std::uint32_t* pixel, int firstShare, int wholeShare, std::ptrdiff_t step) {
    Channels sum{};
    const auto add = [&sum](std::uint32_t p, int share) {
        const Channels c = channelsOf(p);
        for (std::size_t i = 0; i < 4; ++i) sum[i] += c[i] * static_cast<std::uint32_t>(share);
    };
    add(*pixel, firstShare);
    int left = (1 << 14) - firstShare;
    for (; left > wholeShare; left -= wholeShare) {
        pixel += step;
        add(*pixel, wholeShare);
    }
    add(*(pixel + step), left);
    return sum;
}

// Between two pixels, `weight` 256ths toward the second.
std::uint32_t between(std::uint32_t a, std::uint32_t b, unsigned weight) {
    const Channels ca = channelsOf(a);
    const Channels cb = channelsOf(b);
    Channels out{};
    for (std::size_t i = 0; i < 4; ++i) out[i] = (ca[i] * (256 - weight) + cb[i] * weight) >> 8;
    return pixelOf(out);
}

// Four pixels: down first, then across.
std::uint32_t between4(const std::uint32_t* top, const std::uint32_t* bottom, unsigned across,
                       unsigned down) {
    const Channels left = channelsOf(between(top[0], bottom[0], down));
    const Channels right = channelsOf(between(top[1], bottom[1], down));
    Channels out{};
    for (std::size_t i = 0; i < 4; ++i) {
        out[i] = (left[i] * (256 - across) + right[i] * across) >> 8;
    }
    return pixelOf(out);
}

std::uint32_t grownBoth(const PremultipliedImage& src, const Sampling& xs, const Sampling& ys,
                        int x, int y) {
    const std::uint32_t* pixel = src.row(ys.first[y]) + xs.first[x];
    const auto across = static_cast<unsigned>(xs.weight[x]);
    const auto down = static_cast<unsigned>(ys.weight[y]);
    if (down > 0) {
        return across > 0 ? between4(pixel, pixel + src.width, across, down)
                          : between(pixel[0], pixel[src.width], down);
    }
    return across > 0 ? between(pixel[0], pixel[1], across) : pixel[0];
}

// One side shrinks and the other grows: sums along the shrinking side,
// then interpolates the sums of two neighbours along the growing one.
std::uint32_t shrunkOneWay(const std::uint32_t* pixel, int packed, std::ptrdiff_t along,
                           int growWeight, std::ptrdiff_t across) {
    Channels sum = covered(pixel, packed & 0xFFFF, packed >> 16, along);
    if (growWeight > 0) {
        const Channels next = covered(pixel + across, packed & 0xFFFF, packed >> 16, along);
        const auto w = static_cast<std::uint32_t>(growWeight);
        for (std::size_t i = 0; i < 4; ++i) sum[i] = (sum[i] * (256 - w) + next[i] * w) >> 8;
    }
    for (std::uint32_t& c : sum) c >>= 14;
    return pixelOf(sum);
}

std::uint32_t shrunkBoth(const PremultipliedImage& src, const Sampling& xs, const Sampling& ys,
                         int x, int y) {
    const std::uint32_t* pixel = src.row(ys.first[y]) + xs.first[x];
    const int xFirst = xs.weight[x] & 0xFFFF;
    const int xWhole = xs.weight[x] >> 16;
    const int yFirst = ys.weight[y] & 0xFFFF;
    const int yWhole = ys.weight[y] >> 16;
    Channels sum{};
    const auto addRow = [&](const std::uint32_t* start, int share) {
        const Channels row = covered(start, xFirst, xWhole, 1);
        for (std::size_t i = 0; i < 4; ++i)
            sum[i] += (row[i] >> 4) * static_cast<std::uint32_t>(share);
    };
    addRow(pixel, yFirst);
    int left = (1 << 14) - yFirst;
    for (; left > yWhole; left -= yWhole) {
        pixel += src.width;
        addRow(pixel, yWhole);
    }
    addRow(pixel + src.width, left);
    for (std::uint32_t& c : sum) c >>= 24;
    return pixelOf(sum);
}

}  // namespace

PremultipliedImage scaleSmoothly(const PremultipliedImage& source, int width, int height) {
    const Sampling xs = samplingOf(source.width, width);
    const Sampling ys = samplingOf(source.height, height);
    PremultipliedImage target(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint32_t* out = target.row(y);
        for (int x = 0; x < width; ++x) {
            if (xs.grows && ys.grows) {
                out[x] = grownBoth(source, xs, ys, x, y);
            } else if (xs.grows) {
                const std::uint32_t* pixel = source.row(ys.first[y]) + xs.first[x];
                out[x] = shrunkOneWay(pixel, ys.weight[y], source.width, xs.weight[x], 1);
            } else if (ys.grows) {
                const std::uint32_t* pixel = source.row(ys.first[y]) + xs.first[x];
                out[x] = shrunkOneWay(pixel, xs.weight[x], 1, ys.weight[y], source.width);
            } else {
                out[x] = shrunkBoth(source, xs, ys, x, y);
            }
        }
    }
    return target;
}

}  // namespace quillmere

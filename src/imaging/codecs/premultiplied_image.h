#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

// A picture of 32-bit pixels 0xAARRGGBB whose colours are premultiplied by
// their alpha, as an icon image is held between its decoding, its scaling
// and its laying over white.
struct PremultipliedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // rows top-down

    PremultipliedImage() = default;
    PremultipliedImage(int w, int h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {}

    std::uint32_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const std::uint32_t* row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * width;
    }
};

inline constexpr std::uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Multiplies each colour of a straight-alpha pixel by its alpha, rounded to
// the nearest of 255ths.
inline constexpr std::uint32_t premultiply(std::uint32_t pixel) {
    const std::uint32_t alpha = pixel >> 24;
    std::uint32_t redBlue = (pixel & 0xFF00FF) * alpha;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xFF00FF) + 0x800080) >> 8) & 0xFF00FF;
    std::uint32_t green = ((pixel >> 8) & 0xFF) * alpha;
    green = (green + ((green >> 8) & 0xFF) + 0x80) & 0xFF00;
    return (alpha << 24) | redBlue | green;
}

// The picture laid over white: each channel gains what the alpha leaves
// uncovered, at most 255.
Bitmap24 overWhite(const PremultipliedImage& image);

}  // namespace quillmere

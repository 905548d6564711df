#pragma once

#include <cstdint>

namespace quillmere {

// One channel of a colour with straight alpha, laid over white.
inline std::uint8_t blendOverWhite(unsigned colour, unsigned alpha) {
    return static_cast<std::uint8_t>((colour * alpha + 255u * (255u - alpha) + 127u) / 255u);
}

// A row of straight-alpha RGBA pixels laid over white into RGB.
inline void blendRgbaRowOverWhite(const std::uint8_t* rgba, std::uint8_t* rgb, int width) {
    for (int x = 0; x < width; ++x, rgba += 4, rgb += 3) {
        const unsigned alpha = rgba[3];
        rgb[0] = blendOverWhite(rgba[0], alpha);
        rgb[1] = blendOverWhite(rgba[1], alpha);
        rgb[2] = blendOverWhite(rgba[2], alpha);
    }
}

}  // namespace quillmere

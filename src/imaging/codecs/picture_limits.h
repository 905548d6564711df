#pragma once

namespace quillmere {

// The largest picture the decoders accept, checked before any pixel memory
// is allocated: 400 megapixels (1.2 GB as a 24-bit bitmap), no side above
// 1,000,000 pixels.
inline bool fitsPictureLimits(long long width, long long height) {
    constexpr long long kMaxSide = 1'000'000;
    constexpr long long kMaxPixels = 400'000'000;
    return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

}  // namespace quillmere

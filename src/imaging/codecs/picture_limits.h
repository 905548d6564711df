#pragma once

#include <cstdint>

namespace quillmere {

// The limits every decoder checks before it allocates memory for a picture.
namespace picture_limits {

// A raster picture: 400 megapixels (1.2 GB as a 24-bit bitmap), no side
// above 1,000,000 pixels.
inline constexpr long long kMaxSide = 1'000'000;

// A metafile's frame, which is painted through a 32-bit image: 32768
// pixels a side and 100 megapixels. Bitmaps stored in its records are held
// to the same bounds.
inline constexpr long long kMaxMetafileSide = 32768;

#ifndef QUILLMERE_FUZZING
inline constexpr long long kMaxPixels = 400'000'000;
inline constexpr long long kMaxMetafilePixels = 100'000'000;
#else
// The fuzzers' builds hold every picture to 16 megapixels, so that they
// spend their time parsing rather than filling huge bitmaps; the checks
// themselves are the same.
inline constexpr long long kMaxPixels = 16'000'000;
inline constexpr long long kMaxMetafilePixels = 16'000'000;
#endif

// One image of an icon file, which is shown at 32 x 32: no desktop draws
// icons beyond 1024 a side, so 4096 leaves room while keeping the
// decoder's 32-bit image under 64 MB.
inline constexpr long long kMaxIconSide = 4096;

// The largest single buffer a codec library may take for its own work (a
// TIFF strip or tile, say): a whole picture within the limits at 4 bytes a
// pixel.
inline constexpr std::int64_t kMaxCodecBuffer = kMaxPixels * 4;

// The largest file read into memory. No picture within the limits stores
// more than 8 bytes a pixel (16-bit RGBA without compression), and
// headers, colour profiles and other metadata take far less than the
// allowance on top.
inline constexpr std::uint64_t kMaxFileBytes =
    static_cast<std::uint64_t>(kMaxPixels) * 8 + (std::uint64_t{256} << 20);

}  // namespace picture_limits

inline bool fitsPictureLimits(long long width, long long height) {
    using namespace picture_limits;
    return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

inline bool fitsMetafileLimits(long long width, long long height) {
    using namespace picture_limits;
    return width >= 0 && height >= 0 && width <= kMaxMetafileSide && height <= kMaxMetafileSide &&
           width * height <= kMaxMetafilePixels;
}

inline bool fitsIconLimits(long long width, long long height) {
    using namespace picture_limits;
    return width >= 0 && height >= 0 && width <= kMaxIconSide && height <= kMaxIconSide;
}

}  // namespace quillmere

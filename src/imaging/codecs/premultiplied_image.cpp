#include "imaging/codecs/premultiplied_image.h"

#include <algorithm>

namespace quillmere {

Bitmap24 overWhite(const PremultipliedImage& image) {
    Bitmap24 bitmap = Bitmap24::uninitialised(image.width, image.height);
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint32_t* in = image.row(y);
        std::uint8_t* out = bitmap.row(y);
        for (int x = 0; x < bitmap.width(); ++x, out += 3) {
            const std::uint32_t p = in[x];
            const std::uint32_t uncovered = 255 - (p >> 24);
            out[0] = static_cast<std::uint8_t>(
                std::min<std::uint32_t>(255, ((p >> 16) & 0xFF) + uncovered));
            out[1] = static_cast<std::uint8_t>(
                std::min<std::uint32_t>(255, ((p >> 8) & 0xFF) + uncovered));
            out[2] =
                static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (p & 0xFF) + uncovered));
        }
    }
    return bitmap;
}

}  // namespace quillmere

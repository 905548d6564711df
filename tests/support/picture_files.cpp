#include "support/picture_files.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "imaging/image_process.h"

namespace quillmere::test {

Bitmap24 photoLike(int width, int height, unsigned seed) {
    Bitmap24 bitmap = Bitmap24::uninitialised(width, height);
    unsigned state = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.row(y);
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = static_cast<int>((state >> 24) % 17) - 8;
            const double fx = static_cast<double>(x) / std::max(1, width);
            const double fy = static_cast<double>(y) / std::max(1, height);
            const bool inDisc = std::hypot(fx - 0.6, fy - 0.4) < 0.25;
            int r = static_cast<int>(40 + 180 * fx) + noise;
            int g = static_cast<int>(60 + 150 * fy) + noise;
            int b = static_cast<int>(120 + 100 * std::sin(6.0 * fx + 3.0 * fy)) + noise;
            if (inDisc) {
                r = 230 + noise;
                g = 90 + noise;
                b = 30 + noise;
            }
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
        }
    }
    return bitmap;
}

Bitmap24 solid(int width, int height, Rgb colour) {
    Bitmap24 bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) bitmap.setPixel(x, y, colour);
    }
    return bitmap;
}

int maxChannelDifference(const Bitmap24& a, const Bitmap24& b) {
    if (a.width() != b.width() || a.height() != b.height()) return 256;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (std::size_t i = 0; i < a.stride(); ++i) {
            worst = std::max(worst, std::abs(int{a.row(y)[i]} - int{b.row(y)[i]}));
        }
    }
    return worst;
}

Bitmap24 loadBitmap(const QString& path) {
    ImageControl control;
    Load_image_file(path, control);
    return control.picture().bitmap();
}

}  // namespace quillmere::test

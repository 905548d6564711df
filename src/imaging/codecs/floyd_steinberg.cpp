#include "imaging/codecs/floyd_steinberg.h"

#include <algorithm>
#include <cstdlib>

#include "imaging/codecs/nearest_colour.h"

namespace quillmere {

namespace {

struct LimitTable {
    // Indexed by error + 255; a corrected channel never errs by more.
    std::array<int, 511> values{};
    LimitTable() {
        for (int e = -255; e <= 255; ++e) {
            const int magnitude = std::abs(e);
            const int limited = magnitude < 16   ? magnitude
                                : magnitude < 48 ? 16 + (magnitude - 16) / 2
                                                 : 32;
            values[static_cast<std::size_t>(e + 255)] = e < 0 ? -limited : limited;
        }
    }
};

const LimitTable kLimits;

}  // namespace

int limitDitherError(int error) {
    if (error < -255 || error > 255) return error < 0 ? -32 : 32;
    return kLimits.values[static_cast<std::size_t>(error + 255)];
}

std::vector<std::uint8_t> ditherToPalette(const Bitmap24& bitmap,
                                          const std::array<Rgb, 256>& palette) {
    const int width = bitmap.width();
    const int height = bitmap.height();
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    if (indices.empty()) return indices;

    NearestColour nearest(palette);
    // Errors passed down to each column, in sixteenths, three channels a
    // column, with one spare column at each side so that shares falling off
    // the picture need no test.
    const std::size_t columns = static_cast<std::size_t>(width) + 2;
    std::vector<int> thisRow(columns * 3, 0);
    std::vector<int> nextRow(columns * 3, 0);

    for (int y = 0; y < height; ++y) {
        const bool leftToRight = y % 2 == 0;
        const int step = leftToRight ? 1 : -1;
        const int first = leftToRight ? 0 : width - 1;
        const std::uint8_t* source = bitmap.row(y);
        std::uint8_t* out =
            indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        int carried[3] = {0, 0, 0};

        for (int i = 0, x = first; i < width; ++i, x += step) {
            const std::size_t column = static_cast<std::size_t>(x) + 1;
            int corrected[3];
            for (int c = 0; c < 3; ++c) {
                const int sixteenths =
                    carried[c] + thisRow[column * 3 + static_cast<std::size_t>(c)];
                const int whole = limitDitherError((sixteenths + 8) / 16);
                corrected[c] = std::clamp(source[3 * x + c] + whole, 0, 255);
            }
            const std::uint8_t index = nearest.find(corrected[0], corrected[1], corrected[2]);
            out[x] = index;

            const Rgb& chosen = palette[index];
            const int errors[3] = {corrected[0] - chosen.r, corrected[1] - chosen.g,
                                   corrected[2] - chosen.b};
            const std::size_t behind = static_cast<std::size_t>(x - step) + 1;
            const std::size_t ahead = static_cast<std::size_t>(x + step) + 1;
            for (int c = 0; c < 3; ++c) {
                const int e = errors[c];
                carried[c] = 7 * e;
                nextRow[behind * 3 + static_cast<std::size_t>(c)] += 3 * e;
                nextRow[column * 3 + static_cast<std::size_t>(c)] += 5 * e;
                nextRow[ahead * 3 + static_cast<std::size_t>(c)] += e;
            }
        }
        std::swap(thisRow, nextRow);
        std::fill(nextRow.begin(), nextRow.end(), 0);
        // The spare columns caught shares that fall outside the picture.
        for (int c = 0; c < 3; ++c) {
            thisRow[static_cast<std::size_t>(c)] = 0;
            thisRow[(columns - 1) * 3 + static_cast<std::size_t>(c)] = 0;
        }
    }
    return indices;
}

}  // namespace quillmere

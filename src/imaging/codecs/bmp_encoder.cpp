#include "imaging/codecs/bmp_encoder.h"

#include "imaging/codecs/byte_order.h"

namespace quillmere {

std::vector<std::uint8_t> encodeBmp(const Bitmap24& bitmap) {
    if (bitmap.isEmpty()) return {};

    constexpr std::uint32_t kHeaderSize = 54;
    const std::size_t rowSize = (bitmap.stride() + 3) & ~std::size_t{3};
    const std::size_t pixelDataSize = rowSize * static_cast<std::size_t>(bitmap.height());
    std::vector<std::uint8_t> file(kHeaderSize + pixelDataSize, 0);

    std::uint8_t* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    putLittle32(h + 2, static_cast<std::uint32_t>(kHeaderSize + pixelDataSize));
    putLittle32(h + 10, kHeaderSize);
    putLittle32(h + 14, 40);
    putLittle32(h + 18, static_cast<std::uint32_t>(bitmap.width()));
    putLittle32(h + 22, static_cast<std::uint32_t>(bitmap.height()));
    putLittle16(h + 26, 1);
    putLittle16(h + 28, 24);
    putLittle32(h + 34, static_cast<std::uint32_t>(pixelDataSize));

    std::uint8_t* out = file.data() + kHeaderSize;
    for (int y = bitmap.height() - 1; y >= 0; --y, out += rowSize) {
        const std::uint8_t* in = bitmap.row(y);
        for (int x = 0; x < bitmap.width(); ++x, in += 3) {
            out[3 * x] = in[2];
            out[3 * x + 1] = in[1];
            out[3 * x + 2] = in[0];
        }
    }
    return file;
}

}  // namespace quillmere

// Writes the benchmarks' 12-megapixel picture as a binary PPM and as a
// JPEG made by this program's encoder at the benchmarks' quality (90), for
// comparing with libjpeg-turbo's cjpeg and djpeg.
//   bench_write_picture PICTURE.ppm PICTURE.jpg

#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_pictures.h"

namespace {

using quillmere::Bitmap24;

void put(std::ofstream& out, const char* data, std::size_t size) {
    out.write(data, static_cast<std::streamsize>(size));
}

void finish(std::ofstream& out, const std::string& path) {
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

// P6: "P6 width height 255", then the RGB rows top-down, which is exactly
// how a Bitmap24 holds them.
void writePpm(const Bitmap24& bitmap, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string header =
        "P6\n" + std::to_string(bitmap.width()) + ' ' + std::to_string(bitmap.height()) + "\n255\n";
    put(out, header.data(), header.size());
    put(out, reinterpret_cast<const char*>(bitmap.bits()), bitmap.byteCount());
    finish(out, path);
}

void writeBytes(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    put(out, reinterpret_cast<const char*>(bytes.data()), bytes.size());
    finish(out, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PICTURE.ppm PICTURE.jpg\n", argv[0]);
        return 2;
    }
    try {
        const Bitmap24& picture = quillmere::bench::benchPicture();
        writePpm(picture, argv[1]);
        // The very file the JPEG decoding benchmark decodes.
        writeBytes(quillmere::bench::encodedPicture(quillmere::GraphicKind::Jpeg), argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_write_picture: %s\n", error.what());
        return 1;
    }
    return 0;
}

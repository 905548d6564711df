#include "gif_writer.h"

#include <gif_lib.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>

namespace quillmere::bench {

namespace {

int appendToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* file = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    file->insert(file->end(), data, data + length);
    return length;
}

[[noreturn]] void throwGifError(int code) {
    const char* text = GifErrorString(code);
    throw std::runtime_error(std::string("GIF encoding failed: ") + (text ? text : "unknown"));
}

// Colour index rrrgggbb.
GifPixelType index332(const std::uint8_t* rgb) {
    return static_cast<GifPixelType>((rgb[0] & 0xE0) | ((rgb[1] & 0xE0) >> 3) | (rgb[2] >> 6));
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

std::unique_ptr<ColorMapObject, MapDeleter> palette332() {
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(256, nullptr));
    if (!map) throw std::bad_alloc();
    for (int i = 0; i < 256; ++i) {
        GifColorType& c = map->Colors[i];
        c.Red = static_cast<GifByteType>(((i >> 5) & 7) * 255 / 7);
        c.Green = static_cast<GifByteType>(((i >> 2) & 7) * 255 / 7);
        c.Blue = static_cast<GifByteType>((i & 3) * 255 / 3);
    }
    return map;
}

}  // namespace

std::vector<std::uint8_t> encodeGif332(const Bitmap24& bitmap) {
    std::vector<std::uint8_t> file;
    const auto map = palette332();  // giflib copies it

    int error = 0;
    GifFileType* gif = EGifOpen(&file, appendToVector, &error);
    if (!gif) throwGifError(error);

    const int width = bitmap.width();
    bool written = EGifPutScreenDesc(gif, width, bitmap.height(), 8, 0, map.get()) == GIF_OK &&
                   EGifPutImageDesc(gif, 0, 0, width, bitmap.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (int y = 0; written && y < bitmap.height(); ++y) {
        const std::uint8_t* in = bitmap.row(y);
        for (int x = 0; x < width; ++x, in += 3) line[static_cast<std::size_t>(x)] = index332(in);
        written = EGifPutLine(gif, line.data(), width) == GIF_OK;
    }
    if (!written) error = gif->Error;

    int closeError = 0;
    const bool closed = EGifCloseFile(gif, &closeError) == GIF_OK;  // frees gif in any case
    if (!written) throwGifError(error);
    if (!closed) throwGifError(closeError);
    return file;
}

}  // namespace quillmere::bench

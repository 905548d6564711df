#include "imaging/bitmap24.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quillmere {

Bitmap24::Bitmap24(int width, int height, NoFill) {
    if (width <= 0 || height <= 0) return;
    width_ = width;
    height_ = height;
    pixels_ = std::make_unique_for_overwrite<std::uint8_t[]>(byteCount());
}

Bitmap24::Bitmap24(int width, int height) : Bitmap24(width, height, NoFill{}) {
    if (pixels_) std::memset(pixels_.get(), 0xFF, byteCount());
}

Bitmap24 Bitmap24::uninitialised(int width, int height) {
    return Bitmap24(width, height, NoFill{});
}

Bitmap24::Bitmap24(const Bitmap24& other) : Bitmap24(other.width_, other.height_, NoFill{}) {
    if (pixels_) std::memcpy(pixels_.get(), other.pixels_.get(), byteCount());
}

Bitmap24& Bitmap24::operator=(const Bitmap24& other) {
    if (this != &other) *this = Bitmap24(other);
    return *this;
}

Bitmap24::Bitmap24(Bitmap24&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      pixels_(std::move(other.pixels_)) {}

Bitmap24& Bitmap24::operator=(Bitmap24&& other) noexcept {
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    pixels_ = std::move(other.pixels_);
    return *this;
}

Rgb Bitmap24::pixel(int x, int y) const {
    const std::uint8_t* p = row(y) + 3 * static_cast<std::size_t>(x);
    return {p[0], p[1], p[2]};
}

void Bitmap24::setPixel(int x, int y, Rgb colour) {
    std::uint8_t* p = row(y) + 3 * static_cast<std::size_t>(x);
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
}

void Bitmap24::drawAtOrigin(const Bitmap24& source) {
    const int rows = std::min(height_, source.height_);
    const std::size_t bytes = 3 * static_cast<std::size_t>(std::min(width_, source.width_));
    if (bytes == 0) return;
    for (int y = 0; y < rows; ++y) std::memcpy(row(y), source.row(y), bytes);
}

}  // namespace quillmere

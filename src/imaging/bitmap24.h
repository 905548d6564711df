#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quillmere {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The normalised raster every picture becomes: 24 bits per pixel, red,
// green and blue bytes, rows top-down and packed (3 x width bytes a row).
// A bitmap with a zero side is the empty 0 x 0 bitmap.
class Bitmap24 {
  public:
    Bitmap24() = default;
    // A white bitmap of the given size.
    Bitmap24(int width, int height);
    // A bitmap whose pixels the caller overwrites entirely.
    static Bitmap24 uninitialised(int width, int height);

    Bitmap24(const Bitmap24& other);
    Bitmap24& operator=(const Bitmap24& other);
    Bitmap24(Bitmap24&& other) noexcept;
    Bitmap24& operator=(Bitmap24&& other) noexcept;
    ~Bitmap24() = default;

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ == 0; }
    std::size_t stride() const { return static_cast<std::size_t>(width_) * 3; }
    std::size_t byteCount() const { return stride() * static_cast<std::size_t>(height_); }

    std::uint8_t* row(int y) { return pixels_.get() + stride() * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const {
        return pixels_.get() + stride() * static_cast<std::size_t>(y);
    }
    std::uint8_t* bits() { return pixels_.get(); }
    const std::uint8_t* bits() const { return pixels_.get(); }

    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb colour);

    // Copies `source` with its top-left corner at (0, 0), cut at this
    // bitmap's right and bottom edges.
    void drawAtOrigin(const Bitmap24& source);

  private:
    struct NoFill {};
    Bitmap24(int width, int height, NoFill);

    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<std::uint8_t[]> pixels_;
};

}  // namespace quillmere

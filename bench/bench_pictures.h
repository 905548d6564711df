#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"
#include "imaging/graphic.h"

namespace quillmere::bench {

// Every benchmark works on one 12-megapixel photo-like picture.
constexpr int kPictureWidth = 4000;
constexpr int kPictureHeight = 3000;
constexpr double kPictureMegapixels = kPictureWidth * double{kPictureHeight} / 1e6;
constexpr int kJpegQuality = 90;

// The picture, made on first use.
const Bitmap24& benchPicture();

// The picture as a file of that kind, encoded once on first use: BMP, JPEG
// (quality 90), PNG and TIFF by the engine's encoders, GIF by giflib with
// 3-3-2 colours. Throws what the encoders throw; other kinds are not made.
const std::vector<std::uint8_t>& encodedPicture(GraphicKind kind);

// The JPEG file of `encodedPicture` written to the temporary folder once;
// removed when the program ends.
const QString& jpegPictureFile();

// True when a decoded picture has the benchmark picture's size.
inline bool hasPictureSize(int width, int height) {
    return width == kPictureWidth && height == kPictureHeight;
}

}  // namespace quillmere::bench

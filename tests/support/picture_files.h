#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere::test {

// A deterministic picture with gradients, edges and noise, like a photo.
Bitmap24 photoLike(int width, int height, unsigned seed = 1);

// A picture of one colour.
Bitmap24 solid(int width, int height, Rgb colour);

// The largest per-channel difference between two bitmaps of one size.
int maxChannelDifference(const Bitmap24& a, const Bitmap24& b);

// Decodes a picture file through the engine's loader.
Bitmap24 loadBitmap(const QString& path);

}  // namespace quillmere::test

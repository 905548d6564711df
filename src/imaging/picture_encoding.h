#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "imaging/bitmap24.h"

namespace quillmere {

enum class EncoderKind { Bmp, Jpeg, Png, Gif, Tiff };

// The encoder for a target path, chosen by its lower-cased extension:
// ".jpg", ".png", ".gif" and ".tiff" have their own; every other
// extension (".bmp", but also ".jpeg" or ".tif") gets BMP data.
EncoderKind encoderForTarget(const QString& path);

// The complete file contents for a target of that kind. The quality
// matters for JPEG only.
std::vector<std::uint8_t> encodePicture(const Bitmap24& bitmap, EncoderKind encoder, int quality);

}  // namespace quillmere

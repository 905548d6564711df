#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <span>

#include "imaging/bitmap24.h"

namespace quillmere {

// Wraps file bytes for Qt's readers without copying them.
QByteArray wrapBytes(std::span<const std::uint8_t> bytes);

// An opaque Qt image's colour channels as a bitmap; alpha is not looked at.
Bitmap24 bitmapFromOpaqueImage(const QImage& image);

// A Qt image laid over white.
Bitmap24 bitmapOverWhite(const QImage& image);

}  // namespace quillmere

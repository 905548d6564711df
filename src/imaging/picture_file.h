#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "imaging/graphic.h"

namespace quillmere {

// The graphic kind for a file extension (without its dot, any case).
std::optional<GraphicKind> graphicKindForExtension(const QString& extension);

// Decodes file contents as a graphic of the given kind.
std::unique_ptr<Graphic> decodeGraphic(GraphicKind kind, std::span<const std::uint8_t> bytes);

// Reads and decodes a picture file, the kind chosen by its extension.
// Touches no picture or control, so it may run on any thread.
std::unique_ptr<Graphic> decodePictureFile(const QString& path);

}  // namespace quillmere

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/app_error.h"
#include "imaging/picture_file.h"

namespace quillmere::fuzzing {

// Decodes the bytes as the engine decodes a file of that kind. Refusals
// (the program's own errors) are expected; anything else is a finding.
inline void decodeAsEngineDoes(GraphicKind kind, const std::uint8_t* data, std::size_t size) {
    try {
        decodeGraphic(kind, std::span<const std::uint8_t>(data, size));
    } catch (const AppError&) {
    }
}

}  // namespace quillmere::fuzzing

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "imaging/graphic.h"

namespace quillmere {

// What a picture file's header tells about the raster its decoder makes,
// read without decoding.
struct PictureSize {
    // The raster the decoder produces (an icon's is always 32 x 32; an
    // empty metafile frame or GIF screen gives 0 x 0).
    int width = 0;
    int height = 0;
    // The image the decoder reads before it becomes width x height, where
    // that differs: the icon image the decoder picks, before it is scaled.
    // 0 x 0 otherwise.
    int storedWidth = 0;
    int storedHeight = 0;
    // Bytes the codec keeps for the whole picture in its own form, besides
    // the raster, as the header declares: every DCT coefficient of a JPEG
    // coded in several scans, the 32-bit rows of an interlaced PNG, the
    // 32-bit raster (and one strip or tile) of a TIFF that is not plain
    // 8-bit RGB strips.
    std::uint64_t codecBytes = 0;

    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// Reads up to into.size() bytes from `offset` of a file; returns how many
// it got (fewer at the end of the file or on an error).
using ReadAt = std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> into)>;

// The size of the picture a file of that kind decodes to, from a handful
// of small reads (a few kilobytes at most, wherever the header lies: a
// TIFF's first directory is often at the end). Empty when the header is
// damaged, of another format or beyond the decoders' limits: the decoder
// refuses such a file before it allocates anything for its pixels.
std::optional<PictureSize> peekPictureSize(GraphicKind kind, const ReadAt& read,
                                           std::uint64_t fileSize);

// The same over a whole file held in memory.
std::optional<PictureSize> peekPictureSize(GraphicKind kind, std::span<const std::uint8_t> file);

}  // namespace quillmere

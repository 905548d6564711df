#pragma once

#include <tiffio.h>

#include <cstdint>
#include <span>
#include <vector>

namespace quillmere {

// Reading and writing TIFF files in memory through libtiff's client I/O.
// libtiff's own error and warning printing is switched off.
struct TiffMemoryReader {
    std::span<const std::uint8_t> bytes;
    std::uint64_t position = 0;
};

struct TiffMemoryWriter {
    std::vector<std::uint8_t> bytes;
    std::uint64_t position = 0;
};

TIFF* openTiffForReading(TiffMemoryReader& reader);
TIFF* openTiffForWriting(TiffMemoryWriter& writer);

}  // namespace quillmere

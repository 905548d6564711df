#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillmere {

enum class ComparedReader { Bitmap, Icon };

// Where the engine's reader departs from Qt's on purpose: each is a file
// that Qt's reader showed with pixels it never read from the file (or
// refused for no fault of the file), recognised here by Qt's own reading
// of the file or of a repaired copy, never by the engine's reader.
enum class KnownDifference {
    None,
    // Qt decoded uncompressed rows the file cannot hold, leaving them as
    // it found them in memory (4-bit ones as colour 0); the engine refuses
    // the file.
    RowsBeyondTheFile,
    // Run-length data ends where a pixel byte was due, which Qt took from
    // uninitialised memory; the engine reads it as 0: the picture is Qt's
    // of the file with a 0 byte appended when that byte was the only one
    // missing, or differs from Qt's in that one pixel when it ends a 4-bit
    // absolute run whose other bytes are missing too.
    PixelByteBeyondTheFile,
    // A 52- or 56-byte (V2, V3) header, which Qt read as a 12-byte core
    // header and so refused; the engine reads it as Qt reads the same
    // file with its header widened to a 108-byte V4 one.
    VersionTwoOrThreeHeader,
    // Qt refused a bitmap only because the 32-bit image it made for it
    // was beyond its allocation limit; the engine reads it as Qt does
    // without that limit.
    QtAllocationLimit,
    // An icon's 16-bit RGB PNG image with a tRNS chunk, of which Qt's PNG
    // reader filled three quarters of each row; the engine refuses it.
    IconPngRowsPartlyRead,
    // An icon's 4-bit bitmap declaring 2^31 colours or more, which Qt read
    // into a 32-bit image it filled a quarter of; the engine refuses it.
    IconNibblesPartlyRead,
};

std::string_view nameOf(KnownDifference difference);

struct ReaderComparison {
    // Whether the engine's reader and Qt's (behind the checks the engine
    // had around it) gave the same pixels, or refused with the same
    // message, or departed in a known way.
    bool agree = false;
    KnownDifference known = KnownDifference::None;
    // Both outcomes, for a report.
    std::string engine;
    std::string qt;
};

// Decodes the bytes with the engine's reader and with Qt's, and says how
// they compare.
ReaderComparison compareWithQt(ComparedReader reader, std::span<const std::uint8_t> bytes);

}  // namespace quillmere

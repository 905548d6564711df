#pragma once

#include <QImage>

#include "imaging/metafile/reader.h"

namespace quillmere::metafile {

// How the colour table of a bitmap in a record is to be read: as colours,
// or as indexes into the logical palette (which the player does not keep).
enum class DibColours { Rgb, PaletteIndexes };

// Whether the fourth byte of 32-bit pixels is premultiplied alpha (for
// AlphaBlend) or unused.
enum class DibAlpha { Ignore, Keep };

struct Dib {
    QImage image;          // null when the bitmap has a form the player skips
    bool bottomUp = true;  // rows stored from the bottom: source rectangles count from there
};

// Decodes a device-independent bitmap whose header (with its colour table)
// and pixels lie in separate blocks, as EMF bitmap records store them.
// Uncompressed 1, 4, 8, 16, 24 and 32-bit pixels and bit-field masks are
// read; other forms (RLE, JPEG or PNG data, palette indexes) give a null
// image, which the caller skips. A header or pixel block too short for
// what the header declares, or a bitmap beyond the metafile size limits,
// fails as an invalid metafile.
Dib decodeDib(RecordView info, RecordView bits, DibColours colours,
              DibAlpha alpha = DibAlpha::Ignore);

// The same for a packed bitmap: header, colour table and pixels one after
// the other, as WMF records store them.
Dib decodePackedDib(RecordView dib, DibColours colours);

}  // namespace quillmere::metafile

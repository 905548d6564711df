#pragma once

#include <QPointF>
#include <QTransform>
#include <cstddef>
#include <cstdint>
#include <span>

#include "imaging/metafile/canvas.h"
#include "imaging/metafile/reader.h"

namespace quillmere::metafile {

// What an EMF header says about the picture.
struct EmfFrame {
    int width = 0;  // rclFrame in pixels at 96 dots per inch
    int height = 0;
    QTransform deviceToPicture;  // the frame, in reference device units, onto the picture
    QPointF devicePixelsPerMillimetre;
    std::size_t handleCount = 0;
    std::size_t length = 0;  // the bytes the header claims for the file
};

// Whether the bytes start as an EMF: a header record with the " EMF" signature.
bool looksLikeEmf(std::span<const std::uint8_t> bytes);

// Reads and checks the header. Fails as an invalid metafile when the
// signature is wrong, the header does not fit the file, or the frame is
// beyond the size limits.
EmfFrame readEmfFrame(RecordView file);

// Plays the records after the header onto the canvas. Records the player
// does not know are skipped; records too short for what they claim make
// the file invalid.
void playEmf(RecordView file, const EmfFrame& frame, MetafileCanvas& canvas);

}  // namespace quillmere::metafile

#pragma once

#include <QPointF>
#include <QSizeF>
#include <cstddef>

#include "imaging/metafile/canvas.h"
#include "imaging/metafile/reader.h"

namespace quillmere::metafile {

// What a WMF says about its picture: its size and the logical area that
// fills it.
struct WmfFrame {
    int width = 0;  // pixels at 96 dots per inch
    int height = 0;
    QPointF windowOrigin;
    QSizeF windowExtent{1, 1};
    std::size_t firstRecord = 0;
    std::size_t objectCount = 0;
};

// Reads and checks the headers. A placeable file's size is its bounding box
// in its units per inch; a plain file's is the extent of its first
// SETWINDOWEXT record, in pixels. Fails as an invalid metafile when the
// header is wrong, a record before that extent runs past the end, a plain
// file sets no extent, or the size is beyond the limits.
WmfFrame readWmfFrame(RecordView file);

// Plays the records onto the canvas, whose viewport is the whole picture.
// Records the player does not know are skipped; records too short for what
// they claim make the file invalid.
void playWmf(RecordView file, const WmfFrame& frame, MetafileCanvas& canvas);

}  // namespace quillmere::metafile

#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include "convert/batch_view.h"
#include "imaging/bitmap24.h"
#include "imaging/image_control.h"
#include "imaging/picture_encoding.h"

namespace quillmere {

// One list entry's conversion, in two halves. `prepareEntry` does the heavy
// work (read, decode, normalise, encode) and touches nothing shared, so it
// may run away from the window. `commitEntry` then shows the picture in
// the preview, writes the target and logs, in list order.
struct PreparedEntry {
    QString outputPath;
    Bitmap24 picture;
    EncoderKind encoder = EncoderKind::Bmp;
    int quality = 0;
    // The target's contents, made when the target is to be written.
    std::optional<std::vector<std::uint8_t>> encoded;
    // An encoding failure, raised at the point where the target is saved.
    std::exception_ptr encodeError;
};

// Errors of reading or decoding propagate. When `abandoned` is set once
// the picture is decoded, the entry is left unencoded: nobody will take it.
PreparedEntry prepareEntry(const QString& sourcePath, const QString& formatItem, int quality,
                           bool overwrite, const std::atomic<bool>* abandoned = nullptr);

// Tests whether the target exists, shows the picture, then writes and logs
// as the overwrite switch says. Errors of writing or encoding propagate.
void commitEntry(PreparedEntry& entry, BatchView& view, bool overwrite);

// Shows a normalised picture in the control the way a load does: the
// control takes its size.
void showNormalisedPicture(ImageControl& control, Bitmap24 picture);

}  // namespace quillmere

#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include "convert/batch_view.h"
#include "convert/commit_group.h"
#include "convert/output_folder.h"
#include "imaging/bitmap24.h"
#include "imaging/image_control.h"
#include "imaging/picture_encoding.h"

namespace quillmere {

// One list entry's conversion, in two halves. `prepareEntry` does the heavy
// work (read, decode, normalise, encode) and touches nothing shared, so it
// may run away from the window. `stageEntry` then, in list order, tests
// whether the target exists and writes it to its temporary file, and the
// commit group shows the picture, puts the target in place and logs.
struct PreparedEntry {
    QString outputPath;
    Bitmap24 picture;
    // The picture's pixels, kept when the picture itself is dropped.
    std::int64_t pixels = 0;
    EncoderKind encoder = EncoderKind::Bmp;
    int quality = 0;
    // The target's contents, made when the target is to be written.
    std::optional<std::vector<std::uint8_t>> encoded;
    // An encoding failure, raised at the point where the target is saved.
    std::exception_ptr encodeError;
};

// Errors of reading or decoding propagate. When `abandoned` is set once
// the picture is decoded, the entry is left unencoded: nobody will take it.
// Without `keepPicture`, the picture is dropped once it is encoded.
PreparedEntry prepareEntry(const QString& sourcePath, const QString& outputPath, int quality,
                           bool overwrite, const std::atomic<bool>* abandoned = nullptr,
                           bool keepPicture = true);

// Tests whether the target exists and, as the overwrite switch says, writes
// it to its temporary file; adds entry `index` to `group` either way. An
// error of writing or encoding is added as the entry's failure.
// Without `keepPicture`, the group holds no picture to show. With
// `outputFolder`, the target's folders are made there first.
void stageEntry(int index, PreparedEntry& entry, bool overwrite, CommitGroup& group,
                bool keepPicture = true, OutputFolder* outputFolder = nullptr);

// Shows a normalised picture in the control the way a load does: the
// control takes its size.
void showNormalisedPicture(ImageControl& control, Bitmap24 picture);

}  // namespace quillmere

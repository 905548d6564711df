#include "convert/entry_conversion.h"

#include "imaging/file_access.h"
#include "imaging/image_process.h"
#include "imaging/picture_file.h"
#include "imaging/target_file.h"

namespace quillmere {

namespace {

void encodeInto(PreparedEntry& entry, const Bitmap24& picture) {
    try {
        entry.encoded = encodePicture(picture, entry.encoder, entry.quality);
    } catch (...) {
        entry.encodeError = std::current_exception();
    }
}

}  // namespace

PreparedEntry prepareEntry(const QString& sourcePath, const QString& outputPath, int quality,
                           bool overwrite, const std::atomic<bool>* abandoned, bool keepPicture) {
    PreparedEntry entry;
    entry.outputPath = outputPath;
    entry.encoder = encoderForTarget(entry.outputPath);
    entry.quality = quality;
    entry.picture = normaliseGraphic(*decodePictureFile(sourcePath));
    entry.pixels = std::int64_t{entry.picture.width()} * entry.picture.height();
    if (abandoned && abandoned->load(std::memory_order_relaxed)) return entry;
    if (overwrite || !isExistingFile(entry.outputPath)) encodeInto(entry, entry.picture);
    if (!keepPicture && (entry.encoded || entry.encodeError)) entry.picture = Bitmap24();
    return entry;
}

void showNormalisedPicture(ImageControl& control, Bitmap24 picture) {
    control.setAutoSize(true);
    control.picture().setGraphic(
        std::make_unique<RasterGraphic>(GraphicKind::Bitmap, std::move(picture)));
    control.setAutoSize(false);
    control.repaintNow();
}

void stageEntry(int index, PreparedEntry& entry, bool overwrite, CommitGroup& group,
                bool keepPicture, OutputFolder* outputFolder) {
    const bool exists = isExistingFile(entry.outputPath);
    if (exists && !overwrite) {
        if (!keepPicture) entry.picture = Bitmap24();
        group.addKept(index, std::move(entry.picture), entry.pixels, entry.outputPath);
        return;
    }
    // The target may have gone since the entry was prepared without it.
    if (!entry.encoded && !entry.encodeError) encodeInto(entry, entry.picture);
    if (!keepPicture) entry.picture = Bitmap24();
    try {
        if (outputFolder) outputFolder->prepareFor(entry.outputPath);
        auto target = std::make_unique<TargetFile>(entry.outputPath);
        if (entry.encodeError) std::rethrow_exception(entry.encodeError);
        target->write(*entry.encoded);
        const std::uint64_t bytes = entry.encoded->size();
        entry.encoded.reset();
        group.addWritten(index, std::move(entry.picture), entry.pixels, entry.outputPath, exists,
                         std::move(target), bytes);
    } catch (...) {
        group.addFailed(index, std::move(entry.picture), entry.pixels, entry.outputPath, exists,
                        std::current_exception());
    }
}

}  // namespace quillmere

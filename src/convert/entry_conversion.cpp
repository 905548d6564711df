#include "convert/entry_conversion.h"

#include "convert/convert_messages.h"
#include "convert/output_path.h"
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

// `shown` is the picture the preview now holds, the same the entry was
// prepared from.
void saveTarget(PreparedEntry& entry, const Bitmap24& shown) {
    TargetFile target(entry.outputPath);
    if (!entry.encoded && !entry.encodeError) encodeInto(entry, shown);
    if (entry.encodeError) std::rethrow_exception(entry.encodeError);
    target.write(*entry.encoded);
    target.commit();
}

}  // namespace

PreparedEntry prepareEntry(const QString& sourcePath, const QString& formatItem, int quality,
                           bool overwrite) {
    PreparedEntry entry;
    entry.outputPath = outputPathFor(sourcePath, formatItem);
    entry.encoder = encoderForTarget(entry.outputPath);
    entry.quality = quality;
    entry.picture = normaliseGraphic(*decodePictureFile(sourcePath));
    if (overwrite || !isExistingFile(entry.outputPath)) encodeInto(entry, entry.picture);
    return entry;
}

void showNormalisedPicture(ImageControl& control, Bitmap24 picture) {
    control.setAutoSize(true);
    control.picture().setGraphic(
        std::make_unique<RasterGraphic>(GraphicKind::Bitmap, std::move(picture)));
    control.setAutoSize(false);
    control.repaintNow();
}

void commitEntry(PreparedEntry& entry, ImageControl& preview, ConversionLog& log, bool overwrite) {
    showNormalisedPicture(preview, std::move(entry.picture));
    if (isExistingFile(entry.outputPath)) {
        log.appendLine(convert_messages::targetExists(entry.outputPath));
        if (overwrite) {
            saveTarget(entry, preview.picture().bitmap());
            log.appendToLastLine(convert_messages::overwritten());
        }
    } else {
        saveTarget(entry, preview.picture().bitmap());
        log.appendLine(entry.outputPath);
    }
}

}  // namespace quillmere

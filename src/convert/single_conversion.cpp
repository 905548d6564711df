#include "convert/single_conversion.h"

#include "common/lenient_int.h"
#include "common/path_text.h"
#include "convert/convert_messages.h"
#include "convert/output_path.h"
#include "imaging/file_access.h"
#include "imaging/image_process.h"

namespace quillmere {

void runSingleConversion(const QString& entryPath, const QString& formatItem,
                         const QString& qualityText, bool overwrite, ImageControl& preview,
                         ConversionLog& log, const std::function<bool(const QString&)>& confirm) {
    const int quality = readLenientInt(qualityText);
    if (!isExistingFile(entryPath)) return;
    if (!confirm(convert_messages::confirmSingleConversion(fileNamePart(entryPath), formatItem))) {
        return;
    }
    log.appendLine(convert_messages::convertOneFile());
    const QString output = outputPathFor(entryPath, formatItem);
    if (isExistingFile(output)) {
        log.appendLine(convert_messages::targetExists(output));
        if (overwrite) {
            Save_image_file(output, preview, quality);
            log.appendToLastLine(convert_messages::overwritten());
        }
    } else {
        Save_image_file(output, preview, quality);
        log.appendLine(output);
    }
}

}  // namespace quillmere

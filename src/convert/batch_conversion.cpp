#include "convert/batch_conversion.h"

#include "common/lenient_int.h"
#include "convert/convert_messages.h"
#include "convert/entry_conversion.h"
#include "imaging/file_access.h"

namespace quillmere {

int readBatchQuality(QualityField& field) {
    const int quality = readLenientInt(field.text());
    if (quality != 0) return quality;
    field.setText(QStringLiteral("100"));
    return 100;
}

void runBatchConversion(const BatchControls& c) {
    const int quality = readBatchQuality(c.quality);
    const bool onlySelected = c.list.selectedCount() >= 2;
    const int count = c.list.count();

    for (int i = 0; i < count; ++i) {
        if (onlySelected && !c.list.isSelected(i)) continue;
        const QString source = c.list.entry(i);
        if (!isExistingFile(source)) continue;

        const bool overwrite = c.overwrite.isChecked();
        PreparedEntry entry;
        try {
            entry = prepareEntry(source, c.format.currentFormat(), quality, overwrite);
        } catch (...) {
            // A failed load leaves the preview's picture, with auto-size
            // switched on as the load left it.
            c.preview.setAutoSize(true);
            throw;
        }
        commitEntry(entry, c.preview, c.log, overwrite);
    }
    c.log.appendLine(convert_messages::finished());
}

}  // namespace quillmere

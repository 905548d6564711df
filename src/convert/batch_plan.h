#pragma once

#include <QString>
#include <QStringList>

#include "convert/conversion_ports.h"

namespace quillmere {

// What one conversion run does, read from the controls once at its start:
// the sources in list order, the format converted to, the JPEG quality and
// whether existing targets are replaced.
struct BatchPlan {
    QStringList sources;
    QString formatItem;
    int quality = 100;
    bool overwrite = false;
    // Whether the run shows each picture as it is committed; when not, a
    // picture's raster is dropped as soon as its target's contents are made.
    bool showPictures = true;
};

// The quality of a conversion run: the field's text read leniently, where
// 0 (an empty or unreadable text included) becomes 100 and the field then
// shows "100".
int readBatchQuality(QualityField& field);

// Reads the quality first, then takes the whole list, or only its
// selection when two or more entries are selected.
BatchPlan planBatch(const FileListView& list, const TargetFormatChoice& format,
                    QualityField& quality, const OverwriteSwitch& overwrite);

}  // namespace quillmere

#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "convert/conversion_ports.h"

namespace quillmere {

// Where an entry's target goes when not beside its source: its path, or
// why there is none (the entry then fails).
struct PlannedTarget {
    QString path;
    QString problem;
};

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
    // Empty: each target goes beside its source. Otherwise one per source,
    // all inside `targetFolder`, whose folders are then made as needed and
    // never entered through a link that leads out of it.
    std::vector<PlannedTarget> targets;
    QString targetFolder;

    // The target of entry `index`; empty when it has none.
    QString targetOf(int index) const;
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

#pragma once

#include <QString>
#include <QStringList>
#include <set>
#include <vector>

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

// What a run is asked to do, as the window's controls or the command line
// hold it when the run starts.
struct BatchChoices {
    // The list in order, and the rows selected in it.
    QStringList entries;
    std::set<int> selectedRows;
    // The format converted to: one of "BMP", "JPG", "PNG", "GIF", "TIFF".
    QString format;
    // The JPEG quality as typed.
    QString qualityText;
    bool overwrite = false;
};

// The quality text as a run reads it: "100" in place of a text that reads
// as 0 (an empty or unreadable text included), the text itself otherwise.
// The window's quality field then shows it.
QString qualityTextAsRead(const QString& text);

// The quality, read leniently from qualityTextAsRead, then the whole list,
// or only its selection when two or more entries are selected.
BatchPlan planBatch(const BatchChoices& choices);

}  // namespace quillmere

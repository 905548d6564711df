#pragma once

#include <QByteArray>
#include <QString>
#include <unordered_set>

#include "convert/batch_plan.h"

namespace quillmere {

// The target of `source` in the output folder `folder`: the source's path
// relative to `base`, under `folder`, with the extension of `formatItem`
// ("photos/2024/a.PNG" with base "photos", folder "out" and "JPG" gives
// "out/2024/a.jpg"). A source outside `base` has no target. Paths are
// compared as written, made absolute and cleaned; links are not followed.
PlannedTarget mirroredTarget(const QString& source, const QString& base, const QString& folder,
                             const QString& formatItem);

// Keeps the targets of an output folder inside it: before a target is
// written, the folders between the output folder and the target are made
// where missing, and neither they nor the target may be a link that leads
// out of the output folder. Used by one thread.
class OutputFolder {
  public:
    // `folder` as the targets' paths begin with it.
    explicit OutputFolder(const QString& folder);

    // Makes the output folder and the folders of `target` that are missing;
    // with `make` false, only checks the ones that exist. Throws the
    // entry's error (an AppError) when one of them is a link leading out of
    // the output folder or cannot be made.
    void prepareFor(const QString& target, bool make = true);

  private:
    bool leadsOut(const QByteArray& path) const;
    void checkFolder(const QString& path, bool make);

    QString folder_;
    QByteArray realFolder_;
    // Folders known to be inside, so that each is looked at once.
    std::unordered_set<QString> checked_;
};

}  // namespace quillmere

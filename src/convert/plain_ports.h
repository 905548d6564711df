#pragma once

#include <QString>
#include <QStringList>

#include "convert/batch_plan.h"

// The command line's names for the values it plans a run from: its list of
// paths (it selects none, so the whole list is converted), the format, the
// quality text and the overwrite switch.
namespace quillmere {

using PathList = QStringList;
using FixedFormat = QString;
using TextQualityField = QString;
using FixedOverwrite = bool;

// The plan of a run of the whole list.
inline BatchPlan planBatch(const QStringList& paths, const QString& format,
                           const QString& qualityText, bool overwrite) {
    return planBatch(BatchChoices{paths, {}, format, qualityText, overwrite});
}

}  // namespace quillmere

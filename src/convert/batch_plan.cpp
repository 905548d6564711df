#include "convert/batch_plan.h"

#include "common/lenient_int.h"
#include "convert/output_path.h"

namespace quillmere {

QString BatchPlan::targetOf(int index) const {
    if (targets.empty()) return outputPathFor(sources[index], formatItem);
    return targets[static_cast<std::size_t>(index)].path;
}

QString qualityTextAsRead(const QString& text) {
    return readLenientInt(text) == 0 ? QStringLiteral("100") : text;
}

BatchPlan planBatch(const BatchChoices& choices) {
    BatchPlan plan;
    plan.quality = readLenientInt(qualityTextAsRead(choices.qualityText));
    const bool onlySelected = choices.selectedRows.size() >= 2;
    const qsizetype count = choices.entries.size();
    plan.sources.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (!onlySelected || choices.selectedRows.contains(static_cast<int>(i))) {
            plan.sources.append(choices.entries[i]);
        }
    }
    plan.formatItem = choices.format;
    plan.overwrite = choices.overwrite;
    return plan;
}

}  // namespace quillmere

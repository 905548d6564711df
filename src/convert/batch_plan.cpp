#include "convert/batch_plan.h"

#include "common/lenient_int.h"
#include "convert/output_path.h"

namespace quillmere {

QString BatchPlan::targetOf(int index) const {
    if (targets.empty()) return outputPathFor(sources[index], formatItem);
    return targets[static_cast<std::size_t>(index)].path;
}

int readBatchQuality(QualityField& field) {
    const int quality = readLenientInt(field.text());
    if (quality != 0) return quality;
    field.setText(QStringLiteral("100"));
    return 100;
}

BatchPlan planBatch(const FileListView& list, const TargetFormatChoice& format,
                    QualityField& quality, const OverwriteSwitch& overwrite) {
    BatchPlan plan;
    plan.quality = readBatchQuality(quality);
    const bool onlySelected = list.selectedCount() >= 2;
    const int count = list.count();
    plan.sources.reserve(count);
    for (int i = 0; i < count; ++i) {
        if (!onlySelected || list.isSelected(i)) plan.sources.append(list.entry(i));
    }
    plan.formatItem = format.currentFormat();
    plan.overwrite = overwrite.isChecked();
    return plan;
}

}  // namespace quillmere

#include "convert/output_path.h"

#include "common/path_text.h"

namespace quillmere {

QString outputPathFor(const QString& sourcePath, const QString& formatItem) {
    const qsizetype dot = extensionDotIndex(sourcePath);
    const QString stem = dot < 0 ? sourcePath : sourcePath.left(dot);
    return stem + u'.' + formatItem.toLower();
}

}  // namespace quillmere

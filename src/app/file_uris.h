#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace quillmere {

// The local paths of dropped URIs, decoded from their bytes as file names
// are; other URIs are left out.
QStringList localPathsOf(const QMimeData* data);

}  // namespace quillmere

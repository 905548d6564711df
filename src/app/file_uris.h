#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace quillmere {

// The "file://" URI of a path, made from the bytes of its name, so that a
// name that is not UTF-8 still names its own file.
QString fileUriOf(const QString& absolutePath);

// The local paths of dropped URIs, decoded from their bytes as file names
// are; other URIs are left out.
QStringList localPathsOf(const QMimeData* data);

}  // namespace quillmere

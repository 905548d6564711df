#pragma once

#include <QString>

namespace quillmere {

// The target of a conversion: the source path without its file-name
// extension, then ".", then the format item in lower case
// ("pics/a.b.PNG" with "TIFF" gives "pics/a.b.tiff").
QString outputPathFor(const QString& sourcePath, const QString& formatItem);

}  // namespace quillmere

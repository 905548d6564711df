#pragma once

#include <QString>

namespace quillmere {

// The title of error boxes and notices: the executable's file name up to its
// first ".", every character after the first in lower case.
QString applicationTitleFor(const QString& executablePath);
QString applicationTitle();

// The executable's folder, with its trailing "/".
QString executableFolder();

}  // namespace quillmere

#pragma once

#include <QStringList>

namespace quillmere {

// The picture formats the program searches for and converts to, in the
// order the window lists them.
QStringList formatNames();

}  // namespace quillmere

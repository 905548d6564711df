#pragma once

#include <QIcon>
#include <QPixmap>

namespace quillmere {

// The program's icon "MAINICON" from the resources at `size` by `size`
// pixels; a null pixmap when the resources hold none.
QPixmap mainIconPixmap(int size);

// The same icon for windows.
QIcon programIcon();

}  // namespace quillmere

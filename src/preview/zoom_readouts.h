#pragma once

#include <QLocale>
#include <QString>

namespace quillmere {

// "%3.2f%%": the zoom ratio in percent with two decimals, rounded half away
// from zero on the value's first 17 significant digits, with the locale's
// decimal separator.
QString zoomRateText(double percent, const QLocale& locale = QLocale::system());

// "Size: %4d*%4d".
QString imageSizeText(int width, int height);

// "w:%3d h:%3d".
QString controlSizeText(int width, int height);

}  // namespace quillmere

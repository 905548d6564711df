#include "preview/zoom.h"

#include <climits>
#include <cmath>

namespace quillmere {

int nearestInteger(double value) {
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (!(rounded >= INT_MIN)) return INT_MIN;
    if (!(rounded <= INT_MAX)) return INT_MAX;
    return static_cast<int>(rounded);
}

void Zoom_image(ImageControl& image, float factor, QPoint& point, ScrollBoxView& scrollBox) {
    const int x0 = point.x();
    const int y0 = point.y();
    const Bitmap24& bitmap = image.picture().bitmap();
    const int bitmapWidth = bitmap.width();
    const int bitmapHeight = bitmap.height();
    if (bitmapWidth == 0) return;

    const auto ratio = static_cast<float>(static_cast<double>(image.width()) / bitmapWidth);
    int x = 0;
    int y = 0;
    if (factor == kZoomReset) {
        image.setAutoSize(true);
        image.setStretch(false);
        image.repaintNow();
        image.setAutoSize(false);
        image.setStretch(true);
        x = nearestInteger(x0 / static_cast<double>(ratio));
        y = nearestInteger(y0 / static_cast<double>(ratio));
    } else {
        image.setAutoSize(false);
        image.setStretch(true);
        if (image.width() < 10 && factor < 1) return;
        if (static_cast<double>(ratio) > 100 && factor > 1) return;
        const int width = nearestInteger(image.width() * static_cast<double>(factor));
        const double aspect = static_cast<double>(bitmapHeight) / bitmapWidth;
        image.setSize(width, nearestInteger(width * aspect));
        x = nearestInteger(x0 * static_cast<double>(factor));
        y = nearestInteger(y0 * static_cast<double>(factor));
    }
    point = QPoint(x, y);
    scrollBox.setHorizontalPosition(x - scrollBox.clientWidth() / 2);
    scrollBox.setVerticalPosition(y - scrollBox.clientHeight() / 2);
}

}  // namespace quillmere

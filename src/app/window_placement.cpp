#include "app/window_placement.h"

#include <algorithm>

namespace quillmere {

QRect withRemembered(QRect current, const RememberedPlacement& remembered) {
    if (remembered.top) current.moveTop(*remembered.top);
    if (remembered.left) current.moveLeft(*remembered.left);
    if (remembered.width) current.setWidth(*remembered.width);
    if (remembered.height) current.setHeight(*remembered.height);
    return current;
}

QRect keepOnVirtualScreen(QRect window, QSize screen) {
    int left = window.x();
    int top = window.y();
    int width = window.width();
    int height = window.height();
    if (left < 0) left = 0;
    if (left + width > screen.width()) left = std::max(0, screen.width() - width);
    if (top + height > screen.height()) top = std::max(0, screen.height() - height);
    width = std::min(width, screen.width() - left);
    height = std::min(height, screen.height() - top);
    return {left, top, width, height};
}

}  // namespace quillmere

#include "app/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace quillmere {

Placement withRemembered(QRect current, const RememberedPlacement& remembered) {
    return {remembered.left.value_or(current.x()), remembered.top.value_or(current.y()),
            remembered.width.value_or(current.width()),
            remembered.height.value_or(current.height())};
}

QRect keepOnVirtualScreen(const Placement& window, QSize screen) {
    // Sums and differences of two 32-bit values fit in 64 bits.
    using Wide = std::int64_t;
    const Wide screenWidth = std::max(screen.width(), 0);
    const Wide screenHeight = std::max(screen.height(), 0);
    Wide left = window.left;
    Wide top = window.top;
    Wide width = std::max<Wide>(window.width, 1);
    Wide height = std::max<Wide>(window.height, 1);
    if (left < 0) left = 0;
    if (top < 0 && top + height <= 0) top = 0;
    if (left + width > screenWidth) left = std::max<Wide>(0, screenWidth - width);
    if (top + height > screenHeight) top = std::max<Wide>(0, screenHeight - height);
    width = std::min(width, screenWidth - left);
    height = std::min(height, screenHeight - top);
    // The rectangle now lies across the screen's width and ends above its
    // bottom, so its values and its edges fit in 32 bits again.
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
            static_cast<int>(height)};
}

}  // namespace quillmere

#pragma once

#include <QRect>
#include <QSize>
#include <optional>

namespace quillmere {

// The window's remembered edges and size (outer rectangle, screen
// coordinates); a value that is missing keeps the window's own.
struct RememberedPlacement {
    std::optional<int> top;
    std::optional<int> left;
    std::optional<int> width;
    std::optional<int> height;

    bool hasPosition() const { return top || left; }
};

// The window rectangle `current` with the remembered values put in, in the
// order top, left, width, height.
QRect withRemembered(QRect current, const RememberedPlacement& remembered);

// Keeps a window rectangle (outer edges, screen coordinates) on a virtual
// screen of the given size, checked against 0..width and 0..height, in
// this order: a negative left edge becomes 0; a right edge past the screen
// moves the window left (not past 0); a bottom edge past the screen moves
// it up (not past 0); then the width and the height shrink to what is left
// of the screen. A negative top edge is kept.
QRect keepOnVirtualScreen(QRect window, QSize screen);

}  // namespace quillmere

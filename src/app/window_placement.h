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

// A window rectangle by its left and top edges and its size. Each may be
// any 32-bit value, as the settings file may hold it; unlike a QRect it
// works out no other edge, so no value overflows.
struct Placement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const Placement&, const Placement&) = default;
};

// The window rectangle `current` with the remembered values put in, in the
// order top, left, width, height.
Placement withRemembered(QRect current, const RememberedPlacement& remembered);

// Keeps a window rectangle (outer edges, screen coordinates) on a virtual
// screen of the given size, checked against 0..width and 0..height, in
// this order: a width or height below 1 counts as 1 (the window's minimum
// size then takes over); a negative left edge becomes 0; a negative top
// edge is kept as long as the window reaches below the screen's top, else
// it becomes 0; a right edge past the screen moves the window left (not
// past 0); a bottom edge past the screen moves it up (not past 0); then the
// width and the height shrink to what is left of the screen. The edges are
// worked out wide enough for any 32-bit values, so the result is on the
// screen whatever the settings held.
QRect keepOnVirtualScreen(const Placement& window, QSize screen);

}  // namespace quillmere

#pragma once

#include <QPoint>

#include "imaging/image_control.h"

namespace quillmere {

// The scroll box around the image control, as the zoom sees it.
class ScrollBoxView {
  public:
    virtual ~ScrollBoxView() = default;
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    virtual int horizontalPosition() const = 0;
    virtual int verticalPosition() const = 0;
    // Both clamp into the scroll range.
    virtual void setHorizontalPosition(int position) = 0;
    virtual void setVerticalPosition(int position) = 0;
};

// The wheel's zoom factors, as single-precision constants.
inline constexpr float kZoomOutFactor = 0.8f;
inline constexpr float kZoomInFactor = 1.2f;
inline constexpr float kZoomReset = 0.0f;

// The nearest integer, halves to the even neighbour.
int nearestInteger(double value);

// Zooms the image control by `factor` (0 resets it to the picture's own
// size) and scrolls so that the content point, which it scales to the new
// zoom, comes to the middle of the scroll box. Zooming out stops below 10
// pixels of width, zooming in above a ratio of 100, both judged on the
// values from before the step. A picture without a bitmap width changes
// nothing.
void Zoom_image(ImageControl& image, float factor, QPoint& point, ScrollBoxView& scrollBox);

}  // namespace quillmere

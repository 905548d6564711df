#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>

#include "app/window_placement.h"

class QWidget;

namespace quillmere {

// Places a top-level window by its outer rectangle (title bar and borders
// included), the rectangle the settings keep.
//
// A window manager frames a window only once it is shown: before that Qt
// knows no frame, and the outer rectangle is the inner one. A placement
// restored before the first show is therefore applied as if the window had
// no frame, and once more as soon as the frame is known, which is before
// the window's first exposure, with the window manager's position where no
// position was remembered. Where no frame ever comes (the offscreen
// platform) outer and inner stay one and the first application stands.
class OuterPlacement final : public QObject {
  public:
    OuterPlacement(QWidget& window, std::function<QSize()> virtualScreenSize);

    QRect outerRect() const;

    // Puts the remembered values into the outer rectangle and keeps it on
    // the virtual screen. Without a remembered position the window is not
    // moved, so the window system places it.
    void restore(const RememberedPlacement& remembered);

    // The rectangle to remember: the outer rectangle (for a maximised
    // window its screen's work area), and for a minimised window the one it
    // has when restored.
    QRect normalOuterRect() const;

  private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The restored placement once more, now with the frame the window has.
    void applyPending();
    void place(QRect outer, bool move);
    QMargins frameMargins() const;
    bool isNormal() const;

    QWidget& window_;
    std::function<QSize()> virtualScreenSize_;
    std::optional<RememberedPlacement> pending_;
    // The frame of the window in its normal state.
    QMargins normalFrame_;
};

}  // namespace quillmere

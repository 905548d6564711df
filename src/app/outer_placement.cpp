#include "app/outer_placement.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace quillmere {

OuterPlacement::OuterPlacement(QWidget& window, std::function<QSize()> virtualScreenSize)
    : QObject(&window), window_(window), virtualScreenSize_(std::move(virtualScreenSize)) {
    window_.installEventFilter(this);
}

QRect OuterPlacement::outerRect() const {
    return window_.frameGeometry();
}

void OuterPlacement::restore(const RememberedPlacement& remembered) {
    const QRect current = outerRect();
    QRect outer = keepOnVirtualScreen(withRemembered(current, remembered), virtualScreenSize_());
    if (!remembered.hasPosition()) outer.moveTopLeft(current.topLeft());
    place(outer, remembered.hasPosition());
    if (!window_.isVisible()) pending_ = remembered;
}

QRect OuterPlacement::normalOuterRect() const {
    if (window_.isMinimized()) return window_.normalGeometry().marginsAdded(normalFrame_);
    // A maximised window, frame included, covers its screen's work area.
    // Asked for its frame, Qt may still answer with the normal one for a
    // while after the window manager has changed it.
    if (window_.isMaximized() && window_.screen()) return window_.screen()->availableGeometry();
    return outerRect();
}

bool OuterPlacement::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
            if (watched == &window_ && pending_ && window_.windowHandle())
                window_.windowHandle()->installEventFilter(this);
            [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
            if (watched == &window_ && window_.isVisible() && isNormal()) {
                if (const QMargins frame = frameMargins(); !frame.isNull()) {
                    normalFrame_ = frame;
                    applyPending();
                }
            }
            break;
        case QEvent::Expose:
            // No frame by now means none is coming. A window the window
            // manager has maximised or minimised meanwhile keeps its state.
            if (watched == window_.windowHandle()) {
                watched->removeEventFilter(this);
                if (isNormal()) applyPending();
                pending_.reset();
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void OuterPlacement::applyPending() {
    if (!pending_) return;
    const RememberedPlacement remembered = *pending_;
    pending_.reset();
    const QRect current = outerRect();
    const QRect outer =
        keepOnVirtualScreen(withRemembered(current, remembered), virtualScreenSize_());
    place(outer, outer.topLeft() != current.topLeft());
}

void OuterPlacement::place(QRect outer, bool move) {
    // A window's move places its frame; its size is the inner one.
    const QSize frame = outerRect().size() - window_.size();
    if (move) window_.move(outer.topLeft());
    window_.resize(outer.size() - frame);
}

QMargins OuterPlacement::frameMargins() const {
    const QWindow* handle = window_.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

bool OuterPlacement::isNormal() const {
    return !(window_.windowState() &
             (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

}  // namespace quillmere

#include "app/band_splitter.h"

#include <QMouseEvent>
#include <algorithm>

namespace quillmere {

namespace {

int minimumHeightOf(const QWidget* band) {
    return std::max(band->minimumHeight(), band->minimumSizeHint().height());
}

}  // namespace

void BandSplitter::growBandAbove(int index, int delta) {
    if (index < 1 || index >= count() || delta == 0) return;
    QList<int> heights = sizes();
    const int above = index - 1;
    const int last = count() - 1;
    delta = std::max(delta, minimumHeightOf(widget(above)) - heights[above]);
    delta = std::min(delta, heights[last] - minimumHeightOf(widget(last)));
    if (delta == 0) return;
    heights[above] += delta;
    heights[last] -= delta;
    setSizes(heights);
}

QSplitterHandle* BandSplitter::createHandle() {
    return new BandSplitterHandle(this);
}

BandSplitterHandle::BandSplitterHandle(BandSplitter* parent)
    : QSplitterHandle(Qt::Vertical, parent), bands_(parent) {}

void BandSplitterHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    lastY_ = event->globalPosition().toPoint().y();
}

void BandSplitterHandle::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !event->buttons().testFlag(Qt::LeftButton)) return;
    const int y = event->globalPosition().toPoint().y();
    const int before = bands_->sizes().value(bands_->indexOf(this) - 1);
    bands_->growBandAbove(bands_->indexOf(this), y - lastY_);
    // Follows what the band really got, so a drag past a limit and back
    // lines up with the pointer again.
    lastY_ += bands_->sizes().value(bands_->indexOf(this) - 1) - before;
}

void BandSplitterHandle::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
}

}  // namespace quillmere

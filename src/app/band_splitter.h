#pragma once

#include <QSplitter>
#include <QSplitterHandle>

namespace quillmere {

// Bands stacked from the top, each handle resizing only the band directly
// above it: the bands in between move along and the last band takes
// whatever height remains (a QSplitter's own handles trade the two
// neighbours' heights instead).
class BandSplitter final : public QSplitter {
    Q_OBJECT

  public:
    explicit BandSplitter(QWidget* parent = nullptr) : QSplitter(Qt::Vertical, parent) {}

    // Gives the band above handle `index` `delta` more pixels, taken from
    // the last band, as far as both bands' minimum heights allow.
    void growBandAbove(int index, int delta);

  protected:
    QSplitterHandle* createHandle() override;
};

class BandSplitterHandle final : public QSplitterHandle {
    Q_OBJECT

  public:
    explicit BandSplitterHandle(BandSplitter* parent);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    BandSplitter* bands_;
    int lastY_ = 0;
    bool dragging_ = false;
};

}  // namespace quillmere

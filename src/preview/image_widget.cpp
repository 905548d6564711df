#include "preview/image_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "preview/animated_gif_graphic.h"

namespace quillmere {

ImageWidget::ImageWidget(QWidget* parent) : QWidget(parent) {
    control_.setObserver(this);
    imageControlResized();
}

ImageWidget::~ImageWidget() {
    control_.setObserver(nullptr);
}

void ImageWidget::imageControlResized() {
    setGeometry(control_.left(), control_.top(), control_.width(), control_.height());
    emit boundsChanged();
}

void ImageWidget::imageControlRepaintNow() {
    repaint();
}

void ImageWidget::showAnimatedGif(const QString& path) {
    auto graphic = std::make_unique<AnimatedGifGraphic>(path);
    QMovie& movie = graphic->movie();
    connect(&movie, &QMovie::frameChanged, this, [this] { update(); });
    control_.picture().setGraphic(std::move(graphic));
    movie.start();
    update();
}

void ImageWidget::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button(), event->buttons(), event->position().toPoint());
}

void ImageWidget::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton)
        emit mouseDragged(event->buttons(), event->position().toPoint());
}

void ImageWidget::paintEvent(QPaintEvent*) {
    const Graphic* graphic = control_.picture().graphic();
    if (!graphic) return;
    QImage image;
    if (graphic->kind() == GraphicKind::Bitmap) {
        const Bitmap24& bitmap = static_cast<const RasterGraphic*>(graphic)->pixels();
        if (bitmap.isEmpty()) return;
        // Wraps the bitmap's memory; nothing is copied.
        image = QImage(bitmap.bits(), bitmap.width(), bitmap.height(),
                       static_cast<qsizetype>(bitmap.stride()), QImage::Format_RGB888);
    } else if (auto* animation = dynamic_cast<const AnimatedGifGraphic*>(graphic)) {
        image = animation->currentFrame();
    }
    if (image.isNull()) return;
    QPainter painter(this);
    if (control_.stretch()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), image);
    } else {
        painter.drawImage(QPoint(0, 0), image);
    }
}

}  // namespace quillmere

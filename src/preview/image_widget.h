#pragma once

#include <QWidget>

#include "imaging/image_control.h"

namespace quillmere {

// The widget that shows an image control: it follows the control's bounds
// and paints its picture's bitmap at its own size, or stretched to the
// control when stretch is on.
class ImageWidget : public QWidget, private ImageControlObserver {
    Q_OBJECT

  public:
    explicit ImageWidget(QWidget* parent = nullptr);
    ~ImageWidget() override;

    ImageControl& control() { return control_; }
    const ImageControl& control() const { return control_; }

    // Plays a GIF file in the control: its picture then holds the
    // animation, which the next bitmap request discards.
    void showAnimatedGif(const QString& path);

  signals:
    // The control moved or changed its size.
    void boundsChanged();
    // Mouse buttons pressed, moved with a button held, released over the
    // picture; positions in the control's own coordinates.
    void mousePressed(Qt::MouseButton button, Qt::MouseButtons held, QPoint position);
    void mouseDragged(Qt::MouseButtons held, QPoint position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void imageControlResized() override;
    void imageControlPictureChanged() override { update(); }
    void imageControlRepaintNow() override;

    ImageControl control_;
};

}  // namespace quillmere

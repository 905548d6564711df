#include "imaging/image_control.h"

namespace quillmere {

ImageControl::ImageControl() {
    picture_.setChangeHandler([this] { pictureChanged(); });
}

void ImageControl::setPosition(int left, int top) {
    left_ = left;
    top_ = top;
    if (observer_) observer_->imageControlResized();
}

void ImageControl::setSize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    if (observer_) observer_->imageControlResized();
}

void ImageControl::setAutoSize(bool on) {
    autoSize_ = on;
    if (on) applyAutoSize();
}

void ImageControl::setStretch(bool on) {
    if (stretch_ == on) return;
    stretch_ = on;
    repaintNow();
}

void ImageControl::repaintNow() {
    if (observer_) observer_->imageControlRepaintNow();
}

void ImageControl::pictureChanged() {
    applyAutoSize();
    if (observer_) observer_->imageControlPictureChanged();
}

void ImageControl::applyAutoSize() {
    if (autoSize_ && picture_.width() > 0 && picture_.height() > 0) {
        setSize(picture_.width(), picture_.height());
    }
}

}  // namespace quillmere

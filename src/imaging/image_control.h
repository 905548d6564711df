#pragma once

#include "imaging/picture.h"

namespace quillmere {

// Told when the control's size changes or it must be repainted; the preview
// widget implements it to follow the model.
class ImageControlObserver {
  public:
    virtual ~ImageControlObserver() = default;
    virtual void imageControlResized() = 0;
    virtual void imageControlRepaintNow() = 0;
    // The picture took another graphic: what shows must follow soon, even
    // when the size stays (a discarded animation leaves a blank picture).
    virtual void imageControlPictureChanged() {}
};

// The model of the picture-showing control the engine loads into and saves
// from: its bounds, its auto-size and stretch switches and its picture.
// While auto-size is on, the control takes the picture's width and height
// whenever the picture changes and both are above 0, keeping its position.
class ImageControl {
  public:
    ImageControl();
    virtual ~ImageControl() = default;
    ImageControl(const ImageControl&) = delete;
    ImageControl& operator=(const ImageControl&) = delete;

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setPosition(int left, int top);
    void setSize(int width, int height);

    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool stretch() const { return stretch_; }
    void setStretch(bool on);

    Picture& picture() { return picture_; }
    const Picture& picture() const { return picture_; }

    void repaintNow();
    void setObserver(ImageControlObserver* observer) { observer_ = observer; }

  private:
    void pictureChanged();
    void applyAutoSize();

    int left_ = 0;
    int top_ = 0;
    int width_ = 105;
    int height_ = 105;
    bool autoSize_ = true;
    bool stretch_ = false;
    Picture picture_;
    ImageControlObserver* observer_ = nullptr;
};

}  // namespace quillmere

#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "imaging/graphic.h"

namespace quillmere {

// Holds at most one graphic and tells its owner whenever that graphic is
// replaced or changed.
class Picture {
  public:
    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    void setChangeHandler(std::function<void()> handler) { onChanged_ = std::move(handler); }

    int width() const { return graphic_ ? graphic_->width() : 0; }
    int height() const { return graphic_ ? graphic_->height() : 0; }
    const Graphic* graphic() const { return graphic_.get(); }

    void setGraphic(std::unique_ptr<Graphic> graphic);
    std::unique_ptr<Graphic> takeGraphic() { return std::move(graphic_); }

    // Replaces the graphic with one decoded from the file, its kind chosen
    // by the extension. When reading or decoding fails the previous graphic
    // stays and the error propagates.
    void loadFromFile(const QString& path);

    // The bitmap request rule: the held bitmap, or, when the picture holds
    // another kind of graphic or none, that graphic is discarded and a new
    // empty bitmap takes its place.
    Bitmap24& bitmap();

    // Tells the owner that the held graphic's pixels changed.
    void notifyChanged();

  private:
    std::unique_ptr<Graphic> graphic_;
    std::function<void()> onChanged_;
};

}  // namespace quillmere

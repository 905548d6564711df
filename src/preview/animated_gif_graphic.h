#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QMovie>
#include <QString>
#include <memory>

#include "imaging/graphic.h"

namespace quillmere {

// A GIF file playing its animation. It measures and draws as its first
// frame; the preview shows the movie's current frame instead.
class AnimatedGifGraphic final : public Graphic {
  public:
    // Decodes the file first, so that a missing or broken file fails with
    // the loader's error before anything plays.
    explicit AnimatedGifGraphic(const QString& path);
    ~AnimatedGifGraphic() override;

    GraphicKind kind() const override { return GraphicKind::Gif; }
    int width() const override { return firstFrame_.width(); }
    int height() const override { return firstFrame_.height(); }
    void drawInto(Bitmap24& target) const override { target.drawAtOrigin(firstFrame_); }

    QMovie& movie() { return *movie_; }
    QImage currentFrame() const { return movie_->currentImage(); }

  private:
    Bitmap24 firstFrame_;
    QByteArray file_;
    QBuffer buffer_;
    std::unique_ptr<QMovie> movie_;
};

}  // namespace quillmere

#include "preview/animated_gif_graphic.h"

#include "imaging/file_access.h"
#include "imaging/picture_file.h"

namespace quillmere {

AnimatedGifGraphic::AnimatedGifGraphic(const QString& path) {
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    std::unique_ptr<Graphic> decoded = decodeGraphic(GraphicKind::Gif, bytes);
    firstFrame_ = Bitmap24(decoded->width(), decoded->height());
    decoded->drawInto(firstFrame_);
    file_ = QByteArray(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<qsizetype>(bytes.size()));
    buffer_.setBuffer(&file_);
    buffer_.open(QIODevice::ReadOnly);
    movie_ = std::make_unique<QMovie>(&buffer_, QByteArray("gif"));
    movie_->setCacheMode(QMovie::CacheNone);
}

AnimatedGifGraphic::~AnimatedGifGraphic() = default;

}  // namespace quillmere

#include "imaging/picture.h"

#include "imaging/picture_file.h"

namespace quillmere {

void Picture::setGraphic(std::unique_ptr<Graphic> graphic) {
    graphic_ = std::move(graphic);
    notifyChanged();
}

void Picture::loadFromFile(const QString& path) {
    setGraphic(decodePictureFile(path));
}

Bitmap24& Picture::bitmap() {
    if (!graphic_ || graphic_->kind() != GraphicKind::Bitmap) {
        setGraphic(std::make_unique<RasterGraphic>(GraphicKind::Bitmap, Bitmap24()));
    }
    return static_cast<RasterGraphic&>(*graphic_).pixels();
}

void Picture::notifyChanged() {
    if (onChanged_) onChanged_();
}

}  // namespace quillmere

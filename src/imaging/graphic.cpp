#include "imaging/graphic.h"

#include <utility>

namespace quillmere {

Bitmap24 Graphic::releaseAsBitmap(int, int) {
    return {};
}

RasterGraphic::RasterGraphic(GraphicKind kind, Bitmap24 pixels)
    : kind_(kind), pixels_(std::move(pixels)) {}

void RasterGraphic::drawInto(Bitmap24& target) const {
    target.drawAtOrigin(pixels_);
}

Bitmap24 RasterGraphic::releaseAsBitmap(int width, int height) {
    if (pixels_.isEmpty() || width != pixels_.width() || height != pixels_.height()) return {};
    return std::exchange(pixels_, Bitmap24());
}

}  // namespace quillmere

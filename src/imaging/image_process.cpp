#include "imaging/image_process.h"

#include <typeinfo>

#include "imaging/file_access.h"
#include "imaging/picture_encoding.h"
#include "imaging/target_file.h"

namespace quillmere {

namespace {

Bitmap24 renderGraphic(Graphic* graphic, int width, int height) {
    if (graphic) {
        if (Bitmap24 moved = graphic->releaseAsBitmap(width, height); !moved.isEmpty()) {
            return moved;
        }
    }
    Bitmap24 bitmap(width, height);
    if (graphic && !bitmap.isEmpty()) graphic->drawInto(bitmap);
    return bitmap;
}

void replaceWithBitmap(ImageControl& control, int width, int height) {
    std::unique_ptr<Graphic> graphic = control.picture().takeGraphic();
    Bitmap24 bitmap = renderGraphic(graphic.get(), width, height);
    graphic.reset();
    control.picture().setGraphic(
        std::make_unique<RasterGraphic>(GraphicKind::Bitmap, std::move(bitmap)));
    control.repaintNow();
}

}  // namespace

bool Load_image_file(const QString& path, ImageControl& control) {
    if (!isExistingFile(path)) return false;
    control.setAutoSize(true);
    control.picture().loadFromFile(path);
    control.setAutoSize(false);
    Picture_to_bitmap24(control);  // repaints the control at once
    return true;
}

void Picture_to_bitmap24(ImageControl& control) {
    replaceWithBitmap(control, control.picture().width(), control.picture().height());
}

void Control_to_bitmap24(ImageControl& control) {
    replaceWithBitmap(control, control.width(), control.height());
}

bool Save_image_file(const QString& path, ImageControl& control, int quality) {
    if (typeid(control) != typeid(ImageControl)) return false;
    const EncoderKind encoder = encoderForTarget(path);
    const Bitmap24& source = control.picture().bitmap();
    TargetFile target(path);
    target.write(encodePicture(source, encoder, quality));
    target.commit();
    return true;
}

Bitmap24 normaliseGraphic(Graphic& graphic) {
    return renderGraphic(&graphic, graphic.width(), graphic.height());
}

}  // namespace quillmere

#include "convert/batch_view.h"

#include "convert/entry_conversion.h"

namespace quillmere {

void ControlBatchView::showPicture(Bitmap24 picture) {
    showNormalisedPicture(preview_, std::move(picture));
}

void ControlBatchView::loadFailed() {
    // A failed load leaves the previous picture, with auto-size switched
    // on as the load left it.
    preview_.setAutoSize(true);
}

}  // namespace quillmere

#include "preview/scroll_area_view.h"

#include <QScrollArea>
#include <QScrollBar>

namespace quillmere {

int ScrollAreaView::clientWidth() const {
    return area_.viewport()->width();
}
int ScrollAreaView::clientHeight() const {
    return area_.viewport()->height();
}
int ScrollAreaView::horizontalPosition() const {
    return area_.horizontalScrollBar()->value();
}
int ScrollAreaView::verticalPosition() const {
    return area_.verticalScrollBar()->value();
}

// The scroll bars clamp into their ranges.
void ScrollAreaView::setHorizontalPosition(int position) {
    area_.horizontalScrollBar()->setValue(position);
}

void ScrollAreaView::setVerticalPosition(int position) {
    area_.verticalScrollBar()->setValue(position);
}

}  // namespace quillmere

// The preview's handlers: showing the current entry, the readouts, zoom,
// pan, the GIF animation and the single-file conversion.
#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollArea>

#include "app/app_messages.h"
#include "app/main_window.h"
#include "app/memo_log.h"
#include "common/app_error.h"
#include "common/path_text.h"
#include "common/prompts.h"
#include "convert/single_conversion.h"
#include "imaging/file_access.h"
#include "imaging/image_process.h"
#include "preview/image_widget.h"
#include "preview/scroll_area_view.h"
#include "preview/zoom.h"
#include "preview/zoom_readouts.h"

namespace quillmere {

QString TForm_Main::currentEntry() const {
    const int index = ListBox1->currentRow();
    if (index < 0 || index >= ListBox1->count()) {
        throw AppError(app_messages::listIndexOutOfBounds(index < 0 ? -1 : index));
    }
    return ListBox1->item(index)->text();
}

void TForm_Main::ListBox1Click() {
    const int index = ListBox1->currentRow();
    if (index < 0) return;
    const QString path = ListBox1->item(index)->text();
    if (!isExistingFile(path)) return;
    Load_image_file(path, Image1->control());
    Show_zoom_rate();
    Show_image_size();
}

void TForm_Main::Show_zoom_rate() {
    ImageControl& image = Image1->control();
    const int bitmapWidth = image.picture().bitmap().width();
    if (bitmapWidth <= 0) return;
    const double ratio =
        static_cast<double>(image.width()) / static_cast<double>(bitmapWidth) * 100;
    Label_rate->setText(zoomRateText(ratio));
    Label_rate->adjustSize();
}

void TForm_Main::Show_image_size() {
    const Picture& picture = Image1->control().picture();
    Label_size->setText(imageSizeText(picture.width(), picture.height()));
    Label_size->adjustSize();
}

void TForm_Main::Label_sizeClick() {
    const QString path = currentEntry();
    const qsizetype dot = extensionDotIndex(path);
    const QString extension = dot < 0 ? QString() : path.mid(dot);
    if (extension.compare(u".gif", Qt::CaseInsensitive) != 0) return;

    Image1->showAnimatedGif(path);
    const ImageControl& image = Image1->control();
    showInStatusPanel(3, controlSizeText(image.width(), image.height()));
    showInStatusPanel(4, controlSizeText(image.picture().width(), image.picture().height()));
}

QPoint TForm_Main::scrollPosition() const {
    const ScrollAreaView scroll(*ScrollBox1);
    return {scroll.horizontalPosition(), scroll.verticalPosition()};
}

QPoint TForm_Main::scrollBoxOrigin() const {
    return ScrollBox1->mapTo(this, QPoint(0, 0));
}

void TForm_Main::movePointerTo(QPoint contentPoint) {
    QCursor::setPos(mapToGlobal(contentPoint - scrollPosition() + scrollBoxOrigin()));
}

void TForm_Main::ScrollBox1MouseWheel(Qt::MouseButtons held, int wheelDelta,
                                      QPoint screenPosition) {
    QPoint point = mapFromGlobal(screenPosition) + scrollPosition() - scrollBoxOrigin();
    ScrollAreaView scroll(*ScrollBox1);
    if (held.testFlag(Qt::LeftButton) && held.testFlag(Qt::RightButton)) {
        Zoom_image(Image1->control(), kZoomReset, point, scroll);
        return;
    }
    if (wheelDelta < 0) Zoom_image(Image1->control(), kZoomOutFactor, point, scroll);
    if (wheelDelta > 0) Zoom_image(Image1->control(), kZoomInFactor, point, scroll);
    movePointerTo(point);
}

void TForm_Main::Image1MouseDown(Qt::MouseButtons held, QPoint position) {
    if (!held.testFlag(Qt::MiddleButton)) return;
    QPoint point = position;
    ScrollAreaView scroll(*ScrollBox1);
    Zoom_image(Image1->control(), kZoomReset, point, scroll);
    Show_zoom_rate();
    Show_image_size();
    movePointerTo(point);
}

void TForm_Main::Image1DragOver(QPoint position, bool entering) {
    if (entering) dragAnchor_ = position;
    ScrollAreaView scroll(*ScrollBox1);
    scroll.setHorizontalPosition(scroll.horizontalPosition() + dragAnchor_.x() - position.x());
    scroll.setVerticalPosition(scroll.verticalPosition() + dragAnchor_.y() - position.y());
}

void TForm_Main::ListBox1DblClick() {
    const QString path = currentEntry();
    MemoLog log(*Memo1);
    runSingleConversion(
        path, formatItem(RadioGroup2), Edit_Jpg_compress_rate->text(),
        CheckBox_over_write->isChecked(), Image1->control(), log, [this](const QString& question) {
            return prompts_.ask(Prompts::Kind::Warning, question,
                                Prompts::Button::Yes | Prompts::Button::No |
                                    Prompts::Button::Cancel) == Prompts::Button::Yes;
        });
}

}  // namespace quillmere

#include "app/main_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QScrollArea>

#include "app/application_title.h"
#include "app/error_guard.h"
#include "app/prompts.h"
#include "preview/image_widget.h"

namespace quillmere {

TForm_Main::TForm_Main(Prompts& prompts, QWidget* parent) : QWidget(parent), prompts_(prompts) {
    buildControls();
    topBand_->installEventFilter(this);
    wireHandlers();
    followPreviewSize();
}

TForm_Main::~TForm_Main() = default;

void TForm_Main::FormCreate() {
    runGuarded(prompts_, [this] {
        // The settings steps (remembered pattern, switch and placement, the
        // refill of the list) come first; then the intake of dropped files.
        pictureDialogFolder_ = executableFolder();
    });
}

template <typename Sender, typename Signal>
void TForm_Main::connectGuarded(Sender* sender, Signal signal, void (TForm_Main::*handler)()) {
    connect(sender, signal, this, [this, handler] { runGuarded(prompts_, [&] { (this->*handler)(); }); });
}

void TForm_Main::wireHandlers() {
    connectGuarded(Button1, &QPushButton::clicked, &TForm_Main::Button1Click);
    connectGuarded(Button_folder_select, &QPushButton::clicked,
                   &TForm_Main::Button_folder_selectClick);
    connectGuarded(CheckBox_recursive, &QCheckBox::clicked, &TForm_Main::Search_changed);
    connectGuarded(Button_Convert, &QPushButton::clicked, &TForm_Main::Button_ConvertClick);

    // Only a change to another item runs the handler: clicking the checked
    // item toggles nothing.
    connect(RadioGroup1, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) runGuarded(prompts_, [this] { RadioGroup1Click(); });
    });

    // Selection changes the program makes are made with the list's signals
    // blocked, so this runs for the user's changes only.
    connectGuarded(ListBox1, &QListWidget::itemSelectionChanged, &TForm_Main::ListBox1Click);
    ListBox1->viewport()->installEventFilter(this);
    Label_size->installEventFilter(this);
    ScrollBox1->viewport()->installEventFilter(this);
    connect(Image1, &ImageWidget::mousePressed, this,
            [this](Qt::MouseButton button, Qt::MouseButtons held, QPoint position) {
                runGuarded(prompts_, [&] {
                    // A left press starts the drag that pans the picture.
                    if (button == Qt::LeftButton) {
                        Image1DragOver(position, true);
                    } else {
                        Image1MouseDown(held, position);
                    }
                });
            });
    connect(Image1, &ImageWidget::mouseDragged, this, [this](Qt::MouseButtons held, QPoint position) {
        if (held.testFlag(Qt::LeftButton)) runGuarded(prompts_, [&] { Image1DragOver(position, false); });
    });

    connect(ListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(at)); });
    connect(Image1, &ImageWidget::boundsChanged, this, &TForm_Main::followPreviewSize);
}

void TForm_Main::followPreviewSize() {
    const QRect bounds = Image1->geometry();
    previewContent_->resize(std::max(1, bounds.right() + 1), std::max(1, bounds.bottom() + 1));
}

bool TForm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == topBand_ && event->type() == QEvent::Resize) {
        layOutTopBand();
    } else if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        runGuarded(prompts_, [this] { ListBox1DblClick(); });
    } else if (watched == Label_size && event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runGuarded(prompts_, [this] { Label_sizeClick(); });
    } else if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        // The scroll box never scrolls on the wheel by itself.
        const auto* wheel = static_cast<QWheelEvent*>(event);
        runGuarded(prompts_, [&] {
            ScrollBox1MouseWheel(wheel->buttons(), wheel->angleDelta().y(),
                                 wheel->globalPosition().toPoint());
        });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString TForm_Main::formatItem(const QButtonGroup* group) const {
    const QAbstractButton* checked = group->checkedButton();
    return checked ? checked->text() : QString();
}

QString TForm_Main::statusPanelText(int panel) const { return statusPanels_[panel]->text(); }

}  // namespace quillmere

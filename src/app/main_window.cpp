#include "app/main_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QWheelEvent>

#include "about/desktop_shell.h"
#include "app/application_title.h"
#include "app/background_batch.h"
#include "app/error_guard.h"
#include "app/key_codes.h"
#include "app/main_window_texts.h"
#include "app/outer_placement.h"
#include "app/settings_location.h"
#include "common/prompts.h"
#include "preview/image_widget.h"

namespace quillmere {

TForm_Main::TForm_Main(Prompts& prompts, QWidget* parent)
    : QWidget(parent),
      prompts_(prompts),
      settingsPath_(settingsFilePath()),
      virtualScreenSize_([] { return QGuiApplication::primaryScreen()->virtualSize(); }),
      shell_(std::make_unique<FreedesktopShell>()) {
    buildControls();
    placement_ = new OuterPlacement(*this, [this] { return virtualScreenSize_(); });
    topBand_->installEventFilter(this);
    wireHandlers();
    followPreviewSize();
}

TForm_Main::~TForm_Main() {
    // A run still going is stopped and its threads waited for while every
    // control it reports to is still there.
    delete batch_;
}

void TForm_Main::FormCreate() {
    // A failed refill of the list ends this with its error: the placement
    // and the drop intake are then left out for this run.
    runGuarded(prompts_, [this] {
        loadSettings();
        dropIntake_ = true;
        setAcceptDrops(true);
    });
}

void TForm_Main::setDesktopShell(std::unique_ptr<DesktopShell> shell) {
    shell_ = std::move(shell);
}

void TForm_Main::closeEvent(QCloseEvent* event) {
    if (batch_) {
        // The run stops first; the window closes as usual once it has ended.
        closeAfterBatch_ = true;
        stopConversion();
        event->ignore();
        return;
    }
    if (runGuarded(prompts_, [this] { saveSettings(); })) {
        event->accept();
    } else {
        event->ignore();  // the settings could not be written: the window stays
    }
}

template <typename Sender, typename Signal>
void TForm_Main::connectGuarded(Sender* sender, Signal signal, void (TForm_Main::*handler)()) {
    connect(sender, signal, this,
            [this, handler] { runGuarded(prompts_, [&] { (this->*handler)(); }); });
}

void TForm_Main::wireHandlers() {
    connectGuarded(Button1, &QPushButton::clicked, &TForm_Main::Button1Click);
    connectGuarded(Button_folder_select, &QPushButton::clicked,
                   &TForm_Main::Button_folder_selectClick);
    connectGuarded(CheckBox_recursive, &QCheckBox::clicked, &TForm_Main::Search_changed);
    connectGuarded(Button_Convert, &QPushButton::clicked, &TForm_Main::Button_ConvertClick);
    connectGuarded(SpeedButton1, &QToolButton::clicked, &TForm_Main::SpeedButton1Click);

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
    connect(Image1, &ImageWidget::mouseDragged, this,
            [this](Qt::MouseButtons held, QPoint position) {
                if (held.testFlag(Qt::LeftButton))
                    runGuarded(prompts_, [&] { Image1DragOver(position, false); });
            });

    ListBox1->installEventFilter(this);
    const auto menuItem = [this](const char* name) {
        return PopupMenu1->findChild<QAction*>(QString::fromLatin1(name));
    };
    connectGuarded(menuItem("PopupMenu_delete"), &QAction::triggered,
                   &TForm_Main::PopupMenu_deleteClick);
    connectGuarded(menuItem("showinExplorer1"), &QAction::triggered,
                   &TForm_Main::showinExplorer1Click);
    connectGuarded(menuItem("Permanentdelete1"), &QAction::triggered,
                   &TForm_Main::Permanentdelete1Click);

    connect(ListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(at)); });
    connect(Image1, &ImageWidget::boundsChanged, this, &TForm_Main::followPreviewSize);
    connect(stopButton_, &QPushButton::clicked, this, &TForm_Main::stopConversion);
}

void TForm_Main::followPreviewSize() {
    const QRect bounds = Image1->geometry();
    previewContent_->resize(std::max(1, bounds.right() + 1), std::max(1, bounds.bottom() + 1));
}

namespace {

bool isRightButtonEvent(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return static_cast<const QMouseEvent*>(event)->button() == Qt::RightButton;
        default:
            return false;
    }
}

}  // namespace

bool TForm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == topBand_ && event->type() == QEvent::Resize) {
        layOutTopBand();
    } else if (watched == ListBox1 && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            runGuarded(prompts_, [&] {
                ListBox1KeyUp(windowsKeyCode(key->key(), key->nativeScanCode(), key->modifiers()),
                              key->modifiers());
            });
        }
    } else if (watched == ListBox1->viewport() && isRightButtonEvent(event)) {
        // A right click only opens the pop-up menu, whose commands act on
        // the entries selected before it: it neither selects nor moves the
        // current entry, as in a list box of the desktop the window follows.
        return true;
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

QString TForm_Main::statusPanelText(int panel) const {
    return statusPanels_[panel]->text();
}

void TForm_Main::showInStatusPanel(int panel, const QString& text) {
    statusPanels_[panel]->setText(text);
    statusPanels_[panel]->setAccessibleName(texts::statusPanelSpokenName(panel, text));
}

}  // namespace quillmere

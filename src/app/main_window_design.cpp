// The main window's controls in their design state.
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/band_splitter.h"
#include "app/main_window.h"
#include "app/main_window_texts.h"
#include "convert/format_names.h"
#include "preview/image_widget.h"

namespace quillmere {

namespace {

constexpr int kClientWidth = 857;
constexpr int kClientHeight = 1000;
constexpr int kTopBandHeight = 105;
constexpr int kListHeight = 192;
constexpr int kLogHeight = 237;
constexpr int kPanelHeight = 64;
constexpr int kPreviewHeight = 364;
constexpr int kSplitterWidth = 8;
constexpr int kStatusPanelWidth = 160;
constexpr int kStatusPanelCount = 5;
constexpr int kListItemHeight = 15;

// Right-anchored controls keep their design distance to the right edge.
constexpr int kEdit1RightGap = kClientWidth - (96 + 713);
constexpr int kSpeedButtonRightGap = kClientWidth - 815;

// The controls' design sizes fit Segoe UI at 9 points; of the fonts with
// the same metrics, the first one installed, else the desktop's own.
QFont windowFont() {
    for (const char* family : {"Segoe UI", "Liberation Sans", "Arial"}) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
            return QFont(QString::fromLatin1(family), 9);
        }
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(9);
    return font;
}

// A status panel is 160 pixels wide where the bar has room; it gives way
// (its text cut off) rather than widen the window, for instance to the
// progress of a conversion run.
class StatusPanel final : public QLabel {
  public:
    using QLabel::QLabel;
    QSize sizeHint() const override { return {kStatusPanelWidth, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
};

// What a screen reader announces for a control that shows no caption.
void describe(QWidget* control, const texts::AccessibleText& text) {
    control->setAccessibleName(text.name);
    control->setAccessibleDescription(text.description);
}

QGroupBox* radioGroup(QWidget* parent, const QString& name, const QString& caption,
                      QButtonGroup*& group, int checkedIndex) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(6, 2, 6, 2);
    group = new QButtonGroup(box);
    const QStringList items = formatNames();
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], box);
        button->setObjectName(name + QStringLiteral("_") + items[i]);
        group->addButton(button, i);
        row->addWidget(button);
    }
    group->button(checkedIndex)->setChecked(true);
    return box;
}

}  // namespace

void TForm_Main::buildControls() {
    setObjectName(QStringLiteral("Form_Main"));
    setWindowTitle(texts::windowCaption());
    setFont(windowFont());
    resize(kClientWidth, kClientHeight);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    bands_ = new BandSplitter(this);
    bands_->setHandleWidth(kSplitterWidth);
    bands_->setChildrenCollapsible(false);
    root->addWidget(bands_, 1);

    topBand_ = new QWidget(bands_);
    buildTopBand(topBand_);

    ListBox1 = new QListWidget(bands_);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->setSortingEnabled(false);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setStyleSheet(
        QStringLiteral("QListWidget::item { height: %1px; }").arg(kListItemHeight));
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    describe(ListBox1, texts::fileListAccessible());

    Memo1 = new QPlainTextEdit(bands_);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setPlainText(texts::memoDesignText());
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setAcceptDrops(false);  // dropped files go to the window
    describe(Memo1, texts::logAccessible());

    auto* lower = new QWidget(bands_);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    Panel1 = new QFrame(lower);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFixedHeight(kPanelHeight);
    buildConversionPanel(Panel1);
    lowerLayout->addWidget(Panel1);

    ScrollBox1 = new QScrollArea(lower);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    describe(ScrollBox1, texts::previewAccessible());
    previewContent_ = new QWidget;
    previewContent_->setObjectName(QStringLiteral("ScrollBox1_content"));
    Image1 = new ImageWidget(previewContent_);
    Image1->setObjectName(QStringLiteral("Image1"));
    describe(Image1, texts::previewPictureAccessible());
    Image1->control().setAutoSize(true);
    Image1->control().setStretch(false);
    Image1->control().setPosition(3, 3);
    Image1->control().setSize(158, 158);
    ScrollBox1->setWidget(previewContent_);
    lowerLayout->addWidget(ScrollBox1, 1);

    bands_->setStretchFactor(0, 0);
    bands_->setStretchFactor(1, 0);
    bands_->setStretchFactor(2, 0);
    bands_->setStretchFactor(3, 1);
    bands_->setSizes({kTopBandHeight, kListHeight, kLogHeight, kPanelHeight + kPreviewHeight});
    for (int i = 1; i <= 3; ++i) {
        bands_->handle(i)->setObjectName(QStringLiteral("Splitter%1").arg(i));
    }

    buildStatusBar();
    root->addWidget(StatusBar1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const auto& [name, caption] : texts::popupMenuItems()) {
        QAction* action = PopupMenu1->addAction(caption);
        action->setObjectName(name);
    }

    setTabOrder();
}

void TForm_Main::buildTopBand(QWidget* band) {
    band->setMinimumHeight(1);
    Bevel2 = new QFrame(band);
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    Bevel2->setFrameShape(QFrame::Box);
    Bevel2->setFrameShadow(QFrame::Sunken);

    Button1 = new QPushButton(texts::filesSelectCaption(), band);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(7, 7, 83, 20);

    Edit1 = new QLineEdit(texts::edit1DesignText(), band);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAcceptDrops(false);
    describe(Edit1, texts::searchPatternAccessible());

    SpeedButton1 = new QToolButton(band);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(texts::aboutButtonCaption());
    SpeedButton1->setFocusPolicy(Qt::NoFocus);

    Button_folder_select = new QPushButton(texts::folderSelectCaption(), band);
    Button_folder_select->setObjectName(QStringLiteral("Button_folder_select"));
    Button_folder_select->setGeometry(7, 43, 83, 20);

    RadioGroup1Box = radioGroup(band, QStringLiteral("RadioGroup1"), texts::searchFormatCaption(),
                                RadioGroup1, 0);
    RadioGroup1Box->setGeometry(96, 34, 321, 56);

    CheckBox_recursive = new QCheckBox(texts::recursiveCaption(), band);
    CheckBox_recursive->setObjectName(QStringLiteral("CheckBox_recursive"));
    CheckBox_recursive->setGeometry(7, 70, 79, 20);
    CheckBox_recursive->setChecked(true);

    layOutTopBand();
}

void TForm_Main::layOutTopBand() {
    const int width = topBand_->width() > 0 ? topBand_->width() : kClientWidth;
    Bevel2->setGeometry(0, 0, width, topBand_->height() > 0 ? topBand_->height() : kTopBandHeight);
    Edit1->setGeometry(96, 7, width - 96 - kEdit1RightGap, 23);
    SpeedButton1->setGeometry(width - kSpeedButtonRightGap, 8, 34, 33);
}

void TForm_Main::buildConversionPanel(QFrame* panel) {
    Button_Convert = new QPushButton(texts::convertCaption(), panel);
    Button_Convert->setObjectName(QStringLiteral("Button_Convert"));
    Button_Convert->setGeometry(7, 6, 105, 20);

    RadioGroup2Box = radioGroup(panel, QStringLiteral("RadioGroup2"), texts::targetFormatCaption(),
                                RadioGroup2, 1);
    RadioGroup2Box->setGeometry(118, 6, 336, 37);

    Label1 = new QLabel(texts::qualityLabelCaption(), panel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(477, 6);
    Label1->adjustSize();

    Edit_Jpg_compress_rate = new QLineEdit(texts::qualityDesignText(), panel);
    Edit_Jpg_compress_rate->setObjectName(QStringLiteral("Edit_Jpg_compress_rate"));
    Edit_Jpg_compress_rate->setGeometry(579, 6, 42, 23);
    describe(Edit_Jpg_compress_rate, texts::qualityAccessible());
    // A screen reader reads the caption with the field it labels.
    Label1->setBuddy(Edit_Jpg_compress_rate);

    CheckBox_over_write = new QCheckBox(texts::overwriteCaption(), panel);
    CheckBox_over_write->setObjectName(QStringLiteral("CheckBox_over_write"));
    CheckBox_over_write->setGeometry(627, 6, 79, 15);
    CheckBox_over_write->setChecked(false);

    // The design's widths fit its own font; with a wider one a caption
    // grows to fit, and the quality label ends before its field.
    CheckBox_over_write->resize(
        std::max(CheckBox_over_write->width(), CheckBox_over_write->sizeHint().width()),
        CheckBox_over_write->height());
    constexpr int kLabelGap = 2;
    Label1->move(std::min(Label1->x(), Edit_Jpg_compress_rate->x() - kLabelGap - Label1->width()),
                 Label1->y());

    Label_rate = new QLabel(texts::rateLabelDesignText(), panel);
    Label_rate->setObjectName(QStringLiteral("Label_rate"));
    Label_rate->move(592, 41);
    Label_rate->adjustSize();

    Label_size = new QLabel(texts::sizeLabelDesignText(), panel);
    Label_size->setObjectName(QStringLiteral("Label_size"));
    Label_size->move(664, 41);
    Label_size->adjustSize();
}

void TForm_Main::buildStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    for (int i = 0; i < kStatusPanelCount; ++i) {
        statusPanels_[i] = new StatusPanel(StatusBar1);
        statusPanels_[i]->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i));
        statusPanels_[i]->setMaximumWidth(kStatusPanelWidth);
        describe(statusPanels_[i], texts::statusPanelAccessible(i));
        StatusBar1->addWidget(statusPanels_[i]);
    }
    // Shown only while a conversion runs, right of the panels.
    batchProgress_ = new QProgressBar(StatusBar1);
    batchProgress_->setObjectName(QStringLiteral("BatchProgress"));
    batchProgress_->setFormat(texts::batchProgressFormat());
    batchProgress_->setVisible(false);
    describe(batchProgress_, texts::batchProgressAccessible());
    StatusBar1->addWidget(batchProgress_, 1);
    stopButton_ = new QPushButton(texts::stopCaption(), StatusBar1);
    stopButton_->setObjectName(QStringLiteral("Button_Stop"));
    stopButton_->setShortcut(QKeySequence(Qt::Key_Escape));
    stopButton_->setVisible(false);
    StatusBar1->addWidget(stopButton_);
}

void TForm_Main::setTabOrder() {
    QList<QWidget*> order = {Edit1, Memo1, Button1, ListBox1, Button_folder_select};
    for (QAbstractButton* button : RadioGroup1->buttons()) order << button;
    order << CheckBox_recursive << ScrollBox1 << Button_Convert << Edit_Jpg_compress_rate
          << CheckBox_over_write;
    for (QAbstractButton* button : RadioGroup2->buttons()) order << button;
    for (qsizetype i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

}  // namespace quillmere

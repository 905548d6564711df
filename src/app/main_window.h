#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QToolButton;

namespace quillmere {

class ImageWidget;
class Prompts;

// The main window. Its controls carry the object names the program's
// handlers are known by; each handler reacts to one control event and runs
// inside the error guard, so an error ends it with the standard error box.
class TForm_Main : public QWidget {
    Q_OBJECT

public:
    explicit TForm_Main(Prompts& prompts, QWidget* parent = nullptr);
    ~TForm_Main() override;

    // The creation handler: runs once, after the controls have their
    // design state and before the window is first shown.
    void FormCreate();

    // Handlers. They may throw; the connections run them guarded.
    void Button1Click();
    void Button_folder_selectClick();
    void RadioGroup1Click();
    void Search_changed();
    void Button_ConvertClick();
    void ListBox1Click();
    void ListBox1DblClick();
    void Label_sizeClick();
    void Show_zoom_rate();
    void Show_image_size();
    // The wheel over the preview: one zoom step about the pointer.
    void ScrollBox1MouseWheel(Qt::MouseButtons held, int wheelDelta, QPoint screenPosition);
    // A press on the picture with the middle button held resets the zoom.
    void Image1MouseDown(Qt::MouseButtons held, QPoint position);
    // Panning: a left press enters the drag, moves with it held follow.
    void Image1DragOver(QPoint position, bool entering);

    // Appends what the folder scan finds to the list, in one batch.
    void List_files(const QString& directory, const QString& pattern, bool recursive,
                    QListWidget& list);

    QString statusPanelText(int panel) const;

    // The controls, for the handlers of other parts of the program.
    QLineEdit* Edit1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QButtonGroup* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup2 = nullptr;
    QCheckBox* CheckBox_recursive = nullptr;
    QCheckBox* CheckBox_over_write = nullptr;
    QLineEdit* Edit_Jpg_compress_rate = nullptr;
    QLabel* Label_rate = nullptr;
    QLabel* Label_size = nullptr;
    ImageWidget* Image1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

private:
    void buildControls();
    void buildTopBand(QWidget* band);
    void buildConversionPanel(QFrame* panel);
    void buildStatusBar();
    void setTabOrder();
    void wireHandlers();
    void layOutTopBand();
    void followPreviewSize();

    // Connects a signal to a handler run inside the error guard.
    template <typename Sender, typename Signal>
    void connectGuarded(Sender* sender, Signal signal, void (TForm_Main::*handler)());

    QString formatItem(const QButtonGroup* group) const;
    // The list's current entry; an index error when there is none.
    QString currentEntry() const;
    void clearList();
    QPoint scrollPosition() const;
    QPoint scrollBoxOrigin() const;
    void movePointerTo(QPoint contentPoint);

    bool eventFilter(QObject* watched, QEvent* event) override;

    Prompts& prompts_;
    QString pictureDialogFolder_;
    QPoint dragAnchor_;

    QWidget* topBand_ = nullptr;
    QFrame* Bevel2 = nullptr;
    QPushButton* Button1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* Button_folder_select = nullptr;
    QGroupBox* RadioGroup1Box = nullptr;
    QSplitter* bands_ = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* Button_Convert = nullptr;
    QGroupBox* RadioGroup2Box = nullptr;
    QLabel* Label1 = nullptr;
    QWidget* previewContent_ = nullptr;
    QLabel* statusPanels_[5] = {};
};

}  // namespace quillmere

#pragma once

#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QToolButton;

namespace quillmere {

class BackgroundBatch;
struct BatchUpdate;
class DesktopShell;
class ImageWidget;
class OuterPlacement;
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
    // design state and before the window is first shown. It restores the
    // remembered settings and then takes in dropped files.
    void FormCreate();

    // Where the settings live, and the virtual screen and desktop the
    // window works with; the program's own by default.
    void setSettingsFilePath(const QString& path) { settingsPath_ = path; }
    void setVirtualScreenSize(std::function<QSize()> size) { virtualScreenSize_ = std::move(size); }
    void setDesktopShell(std::unique_ptr<DesktopShell> shell);

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
    // The "?" button: a fresh about box, shown modally.
    void SpeedButton1Click();
    // The list commands.
    void ListBox1KeyUp(int keyCode, Qt::KeyboardModifiers modifiers);
    void PopupMenu_deleteClick();
    void Permanentdelete1Click();
    void showinExplorer1Click();
    // Dropped local paths, in the order given.
    void Files_dropped(const QStringList& paths);
    // Paths taken in as a drop of them is: once the creation handler has
    // switched the intake on and while no conversion runs, `Files_dropped`
    // runs guarded. Drops come this way, and so do the files named on the
    // command line.
    void takeInPaths(const QStringList& paths);

    // Appends what the folder scan finds to the list, in one batch.
    void List_files(const QString& directory, const QString& pattern, bool recursive,
                    QListWidget& list);

    QString statusPanelText(int panel) const;

    // Whether a conversion run is going on; it runs away from the window,
    // which stays usable, and ends with `batchEnded`.
    bool isConverting() const { return batch_ != nullptr; }
    // Ends the run after the entry being written (the Stop button, Esc).
    void stopConversion();

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
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    void setConverting(bool converting);
    void showBatchUpdate(BatchUpdate update);
    void batchEnded();

    void loadSettings();
    void saveSettings();

    Prompts& prompts_;
    QString pictureDialogFolder_;
    QString settingsPath_;
    std::function<QSize()> virtualScreenSize_;
    OuterPlacement* placement_ = nullptr;
    std::unique_ptr<DesktopShell> shell_;
    bool dropIntake_ = false;
    QPoint dragAnchor_;
    BackgroundBatch* batch_ = nullptr;
    bool closeAfterBatch_ = false;

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
    // Shows `text` in a status panel, and tells a screen reader.
    void showInStatusPanel(int panel, const QString& text);
    QProgressBar* batchProgress_ = nullptr;
    QPushButton* stopButton_ = nullptr;
};

}  // namespace quillmere

#pragma once

#include <QDialog>
#include <memory>

#include "about/about_unit.h"
#include "common/prompts.h"

class QAction;
class QLabel;
class QToolButton;

namespace quillmere {

// The about box: the program's icon, short name, version and release date,
// and two buttons that report and act on the release lookup. Its controls
// carry the object names the handlers are known by. Every dialog it shows
// goes through `Prompts`; its handlers run guarded, so an error ends one
// with the standard error box.
class TAboutBox : public QDialog {
    Q_OBJECT

  public:
    // Builds the box in its design state and runs its creation step, which
    // ends with the release lookup. An error there is shown in the standard
    // error box and skips the steps after it; the box exists all the same.
    TAboutBox(AboutUnit& unit, Prompts& prompts, QWidget* parent = nullptr);
    ~TAboutBox() override;

    // Handlers. They may throw; the box runs them guarded.
    void FormCreate();
    bool get_onlin_info();
    void Action_check_for_updateExecute();
    void SpeedButton_webClick();

    QLabel* Image1 = nullptr;
    QLabel* Label_application_short_name = nullptr;
    QLabel* label_version_UpdateDate = nullptr;
    QToolButton* SpeedButton_web = nullptr;
    QToolButton* SpeedButton_download = nullptr;
    QLabel* Copyright = nullptr;
    QObject* ActionList1 = nullptr;
    QAction* Action_check_for_update = nullptr;

  private:
    void buildControls();
    template <typename Handler>
    void runGuarded(Handler&& handler);

    AboutUnit& unit_;
    Prompts& prompts_;
};

// The "?" button's about box: a fresh box with its own creation step and
// lookup, owned by the application, shown modally over `owner` and freed when
// it closes, also when showing it failed.
void Show_about_box(AboutUnit& unit, Prompts& prompts, QWidget* owner);

// Start-up's last step before the event loop: the hidden about box
// `AboutBox` is created, its creation step and release lookup included, and
// only then is the main window shown. The box stays hidden for the run.
std::unique_ptr<TAboutBox> createAboutBoxThenShow(QWidget& mainWindow, Prompts& prompts,
                                                  AboutUnit& unit = aboutUnit());

}  // namespace quillmere

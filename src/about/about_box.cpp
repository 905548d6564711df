#include "about/about_box.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include "about/about_messages.h"
#include "about/program_icon.h"
#include "about/version_text.h"
#include "common/app_error.h"
#include "common/error_text.h"
#include "common/files_beside_executable.h"
#include "common/path_text.h"
#include "update/download.h"
#include "update/release_index.h"
#include "update/release_server.h"
#include "update/update_target.h"
#include "update/web_address.h"

namespace quillmere {

namespace {

constexpr QSize kClientSize(666, 165);
constexpr int kIconSize = 128;

// The executable's file name without its extension (the text from the last
// "." on), so "quillmere" stays "quillmere" and "Tool.exe" gives "Tool".
QString shortNameOf(const QString& executablePath) {
    QString name = fileNamePart(executablePath);
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0) name.truncate(dot);
    return name;
}

// Consolas where installed, else the desktop's fixed-pitch font.
QFont boxFont(int pixelHeight, bool bold = false) {
    QFont font = QFontDatabase::hasFamily(about_messages::fontFamily())
                     ? QFont(about_messages::fontFamily())
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QLabel* makeLabel(QWidget* box, const char* name, QRect geometry, const QString& text) {
    auto* label = new QLabel(text, box);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QToolButton* makeButton(QWidget* box, const char* name, QRect geometry) {
    auto* button = new QToolButton(box);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

// Blanks and control characters at either end removed.
QString trimmedOfControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= u' ') ++first;
    while (last > first && text[last - 1].unicode() <= u' ') --last;
    return text.sliced(first, last - first);
}

}  // namespace

TAboutBox::TAboutBox(AboutUnit& unit, Prompts& prompts, QWidget* parent)
    : QDialog(parent), unit_(unit), prompts_(prompts) {
    buildControls();
    runGuarded([this] { FormCreate(); });
}

TAboutBox::~TAboutBox() = default;

template <typename Handler>
void TAboutBox::runGuarded(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        prompts_.showErrorBox(errorBoxText(QString::fromUtf8(error.what())));
    }
}

void TAboutBox::buildControls() {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(about_messages::designBoxCaption());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientSize);
    setFont(boxFont(11));
    // White ground and black text, whatever the program's style sheet says.
    setStyleSheet(QStringLiteral("QDialog, QLabel { background-color: #ffffff; color: #000000; }"));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kClientSize,
                                        screen->availableGeometry()));
    }

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 8, 64, 64);
    Image1->setScaledContents(true);

    Label_application_short_name =
        makeLabel(this, "Label_application_short_name", {134, 8, 405, 32},
                  about_messages::designShortNameCaption());
    Label_application_short_name->setFont(boxFont(27, true));

    label_version_UpdateDate = makeLabel(this, "label_version_UpdateDate", {134, 55, 461, 23},
                                         about_messages::designVersionCaption());
    label_version_UpdateDate->setFont(boxFont(16));

    SpeedButton_web = makeButton(this, "SpeedButton_web", {134, 84, 461, 22});
    SpeedButton_web->setText(about_messages::webButtonCaption());
    connect(SpeedButton_web, &QToolButton::clicked, this,
            [this] { runGuarded([this] { SpeedButton_webClick(); }); });

    ActionList1 = new QObject(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    Action_check_for_update = new QAction(about_messages::checkForUpdateCaption(), ActionList1);
    Action_check_for_update->setObjectName(QStringLiteral("Action_check_for_update"));
    connect(Action_check_for_update, &QAction::triggered, this,
            [this] { runGuarded([this] { Action_check_for_updateExecute(); }); });

    SpeedButton_download = makeButton(this, "SpeedButton_download", {8, 128, 211, 29});
    SpeedButton_download->setDefaultAction(Action_check_for_update);
    SpeedButton_download->setToolTip(QString());

    Copyright = makeLabel(this, "Copyright", {225, 144, 270, 13}, about_messages::copyrightLine());
}

void TAboutBox::FormCreate() {
    AboutVariables& v = unit_.variables;
    const AboutSetup& setup = unit_.setup;
    const QString executable = setup.executablePath;
    const QString filesFolder = programFilesFolder(executable, setup.userFolder);

    v.release_index_path = filesFolder + releaseIndexFileName();
    v.release_index_name = releaseIndexFileName();
    v.release_file_name = fileNamePart(executable);
    v.app_short_name = shortNameOf(executable);
    v.release_base_url = configuredReleaseServer(filesFolder + settingsFileName(executable),
                                                 setup.builtInReleaseServer) +
                         v.app_short_name + u'/';
    setWindowTitle(about_messages::boxCaption(v.app_short_name));
    Image1->setAccessibleName(about_messages::iconAccessibleName(v.app_short_name));

    const QPixmap icon = mainIconPixmap(kIconSize);
    if (!icon.isNull()) {
        Image1->setPixmap(icon);
        Image1->resize(icon.size());  // auto-size
    }

    Label_application_short_name->setToolTip(executable);
    Label_application_short_name->setText(v.app_short_name);

    const QDate released = QFileInfo(executable).lastModified().date();
    v.app_version = Get_file_version(executable, setup.readVersionInfo);
    label_version_UpdateDate->setText(
        about_messages::versionAndDate(v.app_version, releaseDateText(released, setup.locale)));

    get_onlin_info();
}

bool TAboutBox::get_onlin_info() {
    AboutVariables& v = unit_.variables;
    v.release_status.clear();
    bool result = false;
    if (!Download_file(v.release_base_url + v.release_index_name, v.release_index_path,
                       unit_.setup.indexLimits)) {
        v.release_status = about_messages::upgradeNotAvailable();
        SpeedButton_download->setText(v.release_status);
        return result;
    }

    QFile copy(v.release_index_path);
    if (!copy.open(QIODevice::ReadOnly)) {
        throw AppError(about_messages::indexUnreadable(v.release_index_path, copy.errorString()));
    }
    const QString text = decodeReleaseIndex(copy.readAll());
    copy.close();
    readReleaseIndex(text, {v.release_file_name, v.release_version, v.release_website});
    result = true;

    v.release_status = about_messages::releaseStatus(v.release_version);
    SpeedButton_web->setText(v.release_website);
    SpeedButton_download->setToolTip(v.release_version);
    SpeedButton_download->setText(
        releaseComparisonCaption(v.app_version, v.release_version, v.release_status));
    return result;
}

void TAboutBox::Action_check_for_updateExecute() {
    const AboutVariables& v = unit_.variables;
    const AboutSetup& setup = unit_.setup;
    const Prompts::Button answer =
        prompts_.ask(Prompts::Kind::Confirmation,
                     about_messages::downloadQuestion(v.release_file_name, v.release_version),
                     Prompts::Button::Yes | Prompts::Button::No | Prompts::Button::Cancel);
    if (answer != Prompts::Button::Yes) return;
    if (trimmedOfControls(v.release_file_name).isEmpty()) return;

    // The server names a file for the program's folder and nothing else: a
    // name that would land elsewhere or replace one of the program's own
    // files is refused like a failed download.
    const std::optional<QString> target =
        updateTarget(v.release_file_name, setup.executablePath,
                     programFilesFolder(setup.executablePath, setup.userFolder));
    const bool downloaded = target && Download_file(v.release_base_url + v.release_file_name,
                                                    *target, setup.updateLimits);
    if (!downloaded) {
        prompts_.showNotice(about_messages::downloadFailed(v.release_file_name));
        return;
    }
    setup.shell->open(*target);
}

void TAboutBox::SpeedButton_webClick() {
    const AboutVariables& v = unit_.variables;
    const AboutSetup& setup = unit_.setup;
    setup.shell->open(webPageToOpen(v.release_website, setup.defaultWebPage));
}

void Show_about_box(AboutUnit& unit, Prompts& prompts, QWidget* owner) {
    const auto box = std::make_unique<TAboutBox>(unit, prompts, owner);
    unit.setup.showModally(*box);
}

std::unique_ptr<TAboutBox> createAboutBoxThenShow(QWidget& mainWindow, Prompts& prompts,
                                                  AboutUnit& unit) {
    auto AboutBox = std::make_unique<TAboutBox>(unit, prompts);
    mainWindow.show();
    return AboutBox;
}

}  // namespace quillmere

// Times the window at scale, on the offscreen platform:
//   window_timing batch [--files N] [--runs R] [--cli PATH]
//     converts N small PNGs (64 x 64) to JPG through the window's convert
//     button, R times, and how often the window's event loop got its turn
//     during each run (a timer asks every 50 ms; the worst gap between two
//     of its ticks is how long the window kept a user waiting). With --cli,
//     quillmere-batch converts the same list in turns with the window.
//     With --same-window, the runs follow one another in one window, whose
//     log grows with each.
//   window_timing fill [--files N] [--runs R]
//     fills the list with N files three ways: the remembered search at
//     start, "Folder Select" on an empty list, and "Folder Select" again
//     over the full list; each time until the window has settled.
// Medians and extremes of the runs go to standard output.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "common/memory_tuning.h"
#include "common/prompts.h"
#include "convert/batch_resources.h"
#include "imaging/codecs/png_encoder.h"
#include "list/search_pattern.h"
#include "support/picture_files.h"

namespace quillmere {
namespace {

// Asks nothing of anyone: every question is cancelled, every error is
// printed and counted, and the folder picker answers the folder given.
class UnattendedPrompts final : public Prompts {
  public:
    Button ask(Kind, const QString&, Buttons) override { return Button::Cancel; }
    void showErrorBox(const QString& text) override { report(text); }
    void showNotice(const QString& text) override { report(text); }
    void showStartupError(const QString& text) override { report(text); }
    std::optional<QStringList> pickPictureFiles(const QString&) override { return std::nullopt; }
    std::optional<QString> pickFolder(const QString&) override { return folder; }

    QString folder;
    int shown = 0;

  private:
    void report(const QString& text) {
        ++shown;
        std::fprintf(stderr, "shown: %s\n", qPrintable(text));
    }
};

struct Options {
    QString mode;
    int files = 10000;
    int runs = 5;
    QString cli;
    bool sameWindow = false;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double maximum(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

// Lets the event loop run until nothing is left to do.
void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void removeTargets(const QString& folder, const QString& pattern) {
    QDir dir(folder);
    for (const QString& name : dir.entryList({pattern}, QDir::Files)) dir.remove(name);
}

void writePictures(const QString& folder, int count) {
    for (int i = 0; i < count; ++i) {
        QFile file(QStringLiteral("%1/p%2.png").arg(folder).arg(i, 6, 10, QChar(u'0')));
        const std::vector<std::uint8_t> bytes =
            encodePng(test::photoLike(64, 64, static_cast<unsigned>(i + 1)));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
            qFatal("cannot write %s", qPrintable(file.fileName()));
        }
    }
}

void choose(QButtonGroup& group, const QString& text) {
    for (QAbstractButton* button : group.buttons()) {
        if (button->text() == text) button->click();
    }
}

struct WindowRun {
    double seconds = 0;
    double worstGap = 0;
};

// A shown window whose list holds the folder's PNGs, set to convert to JPG.
class BatchWindow {
  public:
    BatchWindow(const QString& folder, const QString& settings) {
        window.setSettingsFilePath(settings);
        window.FormCreate();
        window.show();
        settle();
        // Choosing the searched format fills the list from the folder typed.
        window.Edit1->setText(folder + QStringLiteral("/*.jpg"));
        choose(*window.RadioGroup1, QStringLiteral("PNG"));
        choose(*window.RadioGroup2, QStringLiteral("JPG"));
        settle();
    }

    UnattendedPrompts prompts;
    TForm_Main window{prompts};
};

WindowRun convertInWindow(BatchWindow& shown) {
    TForm_Main& window = shown.window;
    WindowRun run;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    QTimer ping;
    ping.setTimerType(Qt::PreciseTimer);
    ping.setInterval(50);
    QObject::connect(&ping, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        run.worstGap = std::max(run.worstGap, static_cast<double>(now - lastTick) / 1e9);
        lastTick = now;
    });
    clock.start();
    ping.start();
    window.findChild<QPushButton*>(QStringLiteral("Button_Convert"))->click();
    while (window.isConverting()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    run.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const qint64 now = clock.nsecsElapsed();
    run.worstGap = std::max(run.worstGap, static_cast<double>(now - lastTick) / 1e9);
    ping.stop();
    if (shown.prompts.shown > 0) qFatal("the run showed a message");
    return run;
}

double convertWithCli(const QString& cli, const QString& folder) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(cli, {QStringLiteral("--to"), QStringLiteral("JPG"), QStringLiteral("--search"),
                        folder + QStringLiteral("/*.png")});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        qFatal("%s failed: %s", qPrintable(cli), process.readAllStandardError().constData());
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

int timeBatch(const Options& options) {
    QTemporaryDir work;
    const QString folder = work.filePath(QStringLiteral("pictures"));
    QDir().mkpath(folder);
    writePictures(folder, options.files);
    const QString settings = work.filePath(QStringLiteral("quillmere.ini"));

    std::vector<double> window, gaps, cli;
    std::unique_ptr<BatchWindow> shown;
    for (int i = 0; i < options.runs; ++i) {
        removeTargets(folder, QStringLiteral("*.jpg"));
        if (!shown || !options.sameWindow) {
            shown.reset();
            QFile::remove(settings);
            shown = std::make_unique<BatchWindow>(folder, settings);
        }
        const WindowRun run = convertInWindow(*shown);
        window.push_back(run.seconds);
        gaps.push_back(run.worstGap);
        std::printf("run %d: window %.3f s (worst gap %.3f s)", i + 1, run.seconds, run.worstGap);
        if (!options.cli.isEmpty()) {
            removeTargets(folder, QStringLiteral("*.jpg"));
            cli.push_back(convertWithCli(options.cli, folder));
            std::printf(", quillmere-batch %.3f s", cli.back());
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("%d files, %d runs: window median %.3f s, worst gap median %.3f s, max %.3f s\n",
                options.files, options.runs, median(window), median(gaps), maximum(gaps));
    if (!cli.empty()) {
        std::printf("quillmere-batch median %.3f s; window / quillmere-batch %.2f\n", median(cli),
                    median(window) / median(cli));
    }
    return 0;
}

double timed(const std::function<void()>& action) {
    QElapsedTimer clock;
    clock.start();
    action();
    settle();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

int timeFill(const Options& options) {
    QTemporaryDir work;
    const QString folder = work.filePath(QStringLiteral("files"));
    QDir().mkpath(folder);
    const QString settings = work.filePath(QStringLiteral("quillmere.ini"));

    std::vector<double> remembered, selected, reselected;
    for (int i = 0; i < options.runs; ++i) {
        UnattendedPrompts prompts;
        QString pattern;
        {
            TForm_Main window(prompts);
            window.setSettingsFilePath(settings);
            window.FormCreate();
            pattern = patternForFormat(window.RadioGroup1->checkedButton()->text());
            if (i == 0) {
                const QString suffix = pattern.mid(1);
                for (int n = 0; n < options.files; ++n) {
                    QFile file(QStringLiteral("%1/f%2%3")
                                   .arg(folder)
                                   .arg(n, 6, 10, QChar(u'0'))
                                   .arg(suffix));
                    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write files");
                }
            }
            QFile ini(settings);
            if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("no settings");
            ini.write(QStringLiteral("[File]\nLast=%1/%2\n").arg(folder, pattern).toUtf8());
        }

        TForm_Main window(prompts);
        window.setSettingsFilePath(settings);
        remembered.push_back(timed([&] {
            window.FormCreate();
            window.show();
        }));
        if (window.ListBox1->count() != options.files) qFatal("the remembered search missed files");
        prompts.folder = folder;
        auto* button = window.findChild<QPushButton*>(QStringLiteral("Button_folder_select"));
        window.ListBox1->clear();
        settle();
        selected.push_back(timed([&] { button->click(); }));
        reselected.push_back(timed([&] { button->click(); }));
        if (window.ListBox1->count() != options.files) qFatal("Folder Select missed files");
        // Timed until laid out: the last entry has its place below the first.
        const QRect last =
            window.ListBox1->visualItemRect(window.ListBox1->item(options.files - 1));
        if (options.files > 1 && last.top() <= 0) qFatal("the list was not laid out");
        std::printf("run %d: remembered search %.3f s, Folder Select %.3f s, again %.3f s\n", i + 1,
                    remembered.back(), selected.back(), reselected.back());
        std::fflush(stdout);
    }
    std::printf(
        "%d files, %d runs, medians: remembered search %.3f s, Folder Select %.3f s, "
        "again over the full list %.3f s\n",
        options.files, options.runs, median(remembered), median(selected), median(reselected));
    return 0;
}

}  // namespace
}  // namespace quillmere

int main(int argc, char* argv[]) {
    quillmere::keepPictureBuffersForReuse(quillmere::defaultMemoryBudget());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    quillmere::Options options;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool valued = i + 1 < arguments.size();
        if (argument == u"--files" && valued) {
            options.files = arguments[++i].toInt();
        } else if (argument == u"--runs" && valued) {
            options.runs = arguments[++i].toInt();
        } else if (argument == u"--same-window") {
            options.sameWindow = true;
        } else if (argument == u"--cli" && valued) {
            options.cli = arguments[++i];
        } else if (options.mode.isEmpty() && !argument.startsWith(u'-')) {
            options.mode = argument;
        } else {
            options.mode.clear();
            break;
        }
    }
    if (options.files < 1 || options.runs < 1) options.mode.clear();
    if (options.mode == u"batch") return quillmere::timeBatch(options);
    if (options.mode == u"fill") return quillmere::timeFill(options);
    std::fprintf(stderr,
                 "usage: window_timing batch [--files N] [--runs R] [--cli PATH] [--same-window]\n"
                 "       window_timing fill [--files N] [--runs R]\n");
    return 2;
}

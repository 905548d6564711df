#include <QApplication>
#include <cstdio>

#include "about/about_box.h"
#include "about/program_icon.h"
#include "app/command_line_files.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/visual_style.h"
#include "common/memory_tuning.h"
#include "convert/batch_resources.h"
#include "imaging/metafile/decoder.h"
#include "imaging/metafile_playback.h"

int main(int argc, char* argv[]) {
    quillmere::keepPictureBuffersForReuse(quillmere::defaultMemoryBudget());
    // The window links the metafile player; the application object below
    // gives it fonts.
    quillmere::setMetafilePlayer(quillmere::decodeMetafile);
    QApplication application(argc, argv);
    // The application object has taken its own options out of argv.
    const QStringList files = quillmere::commandLineFiles(argc, argv, stderr);
    QApplication::setWindowIcon(quillmere::programIcon());
    quillmere::QtPrompts prompts;
    quillmere::applyVisualStyle(quillmere::kVisualStyleName, prompts);

    quillmere::TForm_Main Form_Main(prompts);
    prompts.setParentWindow(&Form_Main);
    Form_Main.FormCreate();

    // The hidden about box comes next: its creation reads the version and
    // runs the release lookup, and only then is the main window shown.
    const auto AboutBox = quillmere::createAboutBoxThenShow(Form_Main, prompts);
    // Files named on the command line join the shown window's list as
    // dropped files do.
    Form_Main.takeInPaths(files);
    return QApplication::exec();
}

#include <QApplication>

#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/visual_style.h"
#include "common/memory_tuning.h"

int main(int argc, char* argv[]) {
    quillmere::keepPictureBuffersForReuse();
    QApplication application(argc, argv);
    quillmere::QtPrompts prompts;
    quillmere::applyVisualStyle(quillmere::kVisualStyleName, prompts);

    quillmere::TForm_Main Form_Main(prompts);
    prompts.setParentWindow(&Form_Main);
    Form_Main.FormCreate();

    Form_Main.show();
    return QApplication::exec();
}

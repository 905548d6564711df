#include "about/about_box.h"
#include "app/main_window.h"

namespace quillmere {

void TForm_Main::SpeedButton1Click() {
    Show_about_box(aboutUnit(), prompts_, this);
}

}  // namespace quillmere

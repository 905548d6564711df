#include "app/error_guard.h"

#include "common/error_text.h"

namespace quillmere {

void showHandlerError(Prompts& prompts, const std::exception& error) {
    prompts.showErrorBox(errorBoxText(QString::fromUtf8(error.what())));
}

}  // namespace quillmere

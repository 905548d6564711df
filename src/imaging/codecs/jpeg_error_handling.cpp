#include "imaging/codecs/jpeg_error_handling.h"

namespace quillmere {

namespace {

[[noreturn]] void jumpOnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    manager->messageCode = info->err->msg_code;
    std::longjmp(manager->jumpBack, 1);
}

void ignoreMessage(j_common_ptr) {}

}  // namespace

void installJpegErrorManager(JpegErrorManager& manager) {
    jpeg_std_error(&manager.base);
    manager.base.error_exit = jumpOnError;
    manager.base.output_message = ignoreMessage;
    manager.messageCode = 0;
}

}  // namespace quillmere

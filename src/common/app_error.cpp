#include "common/app_error.h"

namespace quillmere {

AppError::AppError(const QString& message) : std::runtime_error(message.toStdString()) {}

}  // namespace quillmere

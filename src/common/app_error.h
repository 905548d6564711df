#pragma once

#include <QString>
#include <stdexcept>

namespace quillmere {

// The program's one error type: it carries the text the user sees.
class AppError : public std::runtime_error {
  public:
    explicit AppError(const QString& message);

    QString message() const { return QString::fromUtf8(what()); }
};

// Errors saying that a file is not a usable picture. The drop intake tells
// these apart from every other failure.
class InvalidPictureError : public AppError {
  public:
    using AppError::AppError;
};

}  // namespace quillmere

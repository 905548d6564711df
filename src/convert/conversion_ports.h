#pragma once

#include <QString>

// The log the conversions write to, line by line as they go; the window
// and the command line each fill it in their own way.
namespace quillmere {

class ConversionLog {
  public:
    virtual ~ConversionLog() = default;
    virtual void appendLine(const QString& line) = 0;
    virtual void appendToLastLine(const QString& text) = 0;
};

}  // namespace quillmere

#pragma once

#include <QString>
#include <optional>
#include <ostream>

#include "convert/conversion_ports.h"

namespace quillmere {

// The conversion log printed line by line. A line is printed once it can
// no longer change: when the next line starts or the log is flushed.
class ConsoleLog final : public ConversionLog {
  public:
    explicit ConsoleLog(std::ostream& out) : out_(out) {}
    ~ConsoleLog() override { flush(); }

    void appendLine(const QString& line) override;
    void appendToLastLine(const QString& text) override;
    void flush();

  private:
    std::ostream& out_;
    std::optional<QString> pending_;
};

}  // namespace quillmere

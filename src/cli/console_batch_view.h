#pragma once

#include <chrono>
#include <ostream>

#include "cli/console_log.h"
#include "convert/batch_view.h"

namespace quillmere {

// A run seen from a terminal: the log goes to standard output; the
// pictures are not kept; when `progressOut` is given (standard error on a
// terminal), one line there shows the progress and is rewritten in place.
class ConsoleBatchView final : public BatchView {
  public:
    ConsoleBatchView(std::ostream& out, std::ostream* progressOut);
    ~ConsoleBatchView() override;

    void appendLine(const QString& line) override;
    void appendToLastLine(const QString& text) override { log_.appendToLastLine(text); }
    void showPicture(Bitmap24) override {}
    void loadFailed() override {}
    void progressed(const BatchProgress& progress) override;

    // Prints the last log line and takes the progress line away.
    void flush();

  private:
    void clearProgressLine();

    ConsoleLog log_;
    std::ostream* progressOut_;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace quillmere

#pragma once

#include <chrono>
#include <ostream>

#include "cli/console_log.h"
#include "cli/json_report.h"
#include "convert/batch_view.h"

namespace quillmere {

// A run seen from a terminal: the log goes to standard output, or with
// `report` the entries go there as JSON lines instead; the pictures are
// not kept; when `progressOut` is given (standard error on a terminal),
// one line there shows the progress and is rewritten in place.
class ConsoleBatchView final : public BatchView {
  public:
    ConsoleBatchView(std::ostream& out, std::ostream* progressOut, JsonReport* report = nullptr);
    ~ConsoleBatchView() override;

    void appendLine(const QString& line) override;
    void appendToLastLine(const QString& text) override {
        if (!report_) log_.appendToLastLine(text);
    }
    void entryEnded(const EntryEnd& end) override;
    void showPicture(Bitmap24) override {}
    void loadFailed() override {}
    void progressed(const BatchProgress& progress) override;

    // Prints the last log line and takes the progress line away.
    void flush();

  private:
    void clearProgressLine();

    ConsoleLog log_;
    JsonReport* report_;
    std::ostream* progressOut_;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace quillmere

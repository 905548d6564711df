#include "cli/console_batch_view.h"

#include <cmath>

#include "cli/cli_messages.h"

namespace quillmere {

ConsoleBatchView::ConsoleBatchView(std::ostream& out, std::ostream* progressOut, JsonReport* report)
    : log_(out), report_(report), progressOut_(progressOut) {}

ConsoleBatchView::~ConsoleBatchView() {
    flush();
}

void ConsoleBatchView::clearProgressLine() {
    if (!progressShown_) return;
    *progressOut_ << "\r\x1b[K";
    progressOut_->flush();
    progressShown_ = false;
}

void ConsoleBatchView::appendLine(const QString& line) {
    // The finished line goes out before the next starts; the progress line
    // stays below the log.
    clearProgressLine();
    if (!report_) log_.appendLine(line);
}

void ConsoleBatchView::entryEnded(const EntryEnd& end) {
    if (!report_) return;
    clearProgressLine();
    report_->entry(end);
}

void ConsoleBatchView::flush() {
    clearProgressLine();
    log_.flush();
}

void ConsoleBatchView::progressed(const BatchProgress& progress) {
    if (!progressOut_) return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(progress.pixels) / 1e6 / seconds : 0;
    const int left = progress.done > 0
                         ? static_cast<int>(std::lround(seconds / progress.done *
                                                        (progress.total - progress.done)))
                         : -1;
    log_.flush();
    *progressOut_ << '\r'
                  << cli_messages::progress(progress.done, progress.total, rate, left).toStdString()
                  << "\x1b[K";
    progressOut_->flush();
    progressShown_ = true;
}

}  // namespace quillmere

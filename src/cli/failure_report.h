#pragma once

#include <QString>
#include <exception>
#include <ostream>

#include "cli/console_batch_view.h"
#include "convert/batch_runner.h"

namespace quillmere {

// The command line's handler of failed entries: each is reported on
// `err` as "quillmere-batch: SOURCE: MESSAGE" once the log before it is
// out, and the run goes on after it with --keep-going and ends there
// otherwise. An error that is no std::exception is not the run's to
// report: it propagates.
class FailureReport {
  public:
    FailureReport(std::ostream& err, ConsoleBatchView& view, bool keepGoing)
        : err_(err), view_(view), keepGoing_(keepGoing) {}

    BatchRunner::AfterFailure operator()(const QString& source, const std::exception_ptr& error);

    // Whether an entry failed.
    bool any() const { return failures_; }
    // Whether a failed entry ended the run: its error is reported already.
    bool endedRun() const { return ended_; }

  private:
    std::ostream& err_;
    ConsoleBatchView& view_;
    bool keepGoing_;
    bool failures_ = false;
    bool ended_ = false;
};

}  // namespace quillmere

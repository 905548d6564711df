#pragma once

#include <array>
#include <chrono>
#include <ostream>

#include "convert/batch_runner.h"
#include "convert/batch_view.h"

namespace quillmere {

// The run as JSON lines on `out`, for programs to read: one object per
// entry, then a summary. Names are UTF-8; a name that is not (a file name's
// bytes need not be) is written with U+FFFD for each byte that is not part
// of valid UTF-8, and its exact bytes in base64 under the name's key with
// "_base64" appended.
class JsonReport {
  public:
    explicit JsonReport(std::ostream& out) : out_(out) {}

    // {"source": ..., "target": ..., "status": ..., "seconds": ...}, with
    // "error" for a failed entry; "target" is null when it has none.
    void entry(const EntryEnd& end);
    // {"summary": {"converted": n, "replaced": n, "exists": n, "missing": n,
    // "failed": n, "seconds": s, "end": "finished" | "stopped" | "failed"}},
    // "failed" when a failed entry ended the run.
    void summary(std::optional<BatchEnd> end);

  private:
    std::ostream& out_;
    std::array<int, 5> counts_{};
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace quillmere

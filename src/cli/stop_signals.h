#pragma once

#include <functional>
#include <thread>

namespace quillmere {

// While it lives, SIGINT and SIGTERM ask the run to stop instead of ending
// the program: the handler only notes the signal and writes a byte to a
// pipe, and a thread of its own reads it and calls `stop` (so `stop` may
// do any work). A second SIGINT ends the program at once, as a default
// SIGINT does. The previous handlers come back at destruction. One at a
// time per process.
class StopSignals {
  public:
    explicit StopSignals(std::function<void()> stop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first signal received, 0 for none.
    int received() const;

  private:
    std::function<void()> stop_;
    int readEnd_ = -1;
    std::thread watcher_;
};

}  // namespace quillmere

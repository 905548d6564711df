#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "convert/batch_plan.h"
#include "convert/entry_conversion.h"

namespace quillmere {

// One entry of a run, prepared: its source was missing (skipped without a
// trace), its load failed, or it is ready to commit.
struct PreparedOutcome {
    bool sourceMissing = false;
    std::exception_ptr loadError;
    PreparedEntry entry;
};

// Prepares the entries of a run on worker threads, ahead of the one thread
// that commits them in list order. A worker takes the entries in list
// order and never runs more than `workers` entries ahead of the one being
// committed, so at most workers + 1 prepared entries exist at once. An
// entry whose source an earlier entry writes is read only once that entry
// is committed. With no workers, `take` prepares each entry itself.
class PrepareQueue {
  public:
    PrepareQueue(BatchPlan plan, int workers);
    ~PrepareQueue();
    PrepareQueue(const PrepareQueue&) = delete;
    PrepareQueue& operator=(const PrepareQueue&) = delete;

    const BatchPlan& plan() const { return plan_; }
    int size() const { return static_cast<int>(plan_.sources.size()); }

    // The outcome of entry `index`, the next in list order, once it is
    // prepared; nothing when a stop comes first.
    std::optional<PreparedOutcome> take(int index);
    // The commit of entry `index` has ended; the entries after it may go on.
    void markCommitted(int index);

    // Any thread: ends the run's waits and the workers' work; entries not
    // yet taken are dropped.
    void requestStop();
    bool stopRequested() const;

  private:
    void work();
    PreparedOutcome prepare(int index) const;

    const BatchPlan plan_;
    const std::vector<int> lastWriter_;
    const int workers_;

    mutable std::mutex mutex_;
    std::condition_variable workersWake_;
    std::condition_variable outcomeReady_;
    int nextToPrepare_ = 0;
    int committed_ = 0;  // entries before this index are committed
    bool stop_ = false;
    std::atomic<bool> abandoned_{false};  // stop_, for work outside the lock
    std::vector<std::optional<PreparedOutcome>> outcomes_;
    std::vector<std::thread> threads_;
};

}  // namespace quillmere

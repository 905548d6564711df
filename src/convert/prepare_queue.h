#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "convert/batch_plan.h"
#include "convert/entry_conversion.h"
#include "convert/source_cost.h"
#include "convert/source_dependencies.h"

namespace quillmere {

// One entry of a run, prepared: its source was missing (skipped without a
// trace), its load failed, or it is ready to commit.
struct PreparedOutcome {
    bool sourceMissing = false;
    std::exception_ptr loadError;
    PreparedEntry entry;
    // The time spent preparing it.
    double seconds = 0;
};

// Prepares the entries of a run on worker threads, ahead of the one thread
// that commits them in list order. A worker takes the entries in list
// order and runs at most `workers` entries ahead of the one the committing
// thread takes next; with a budget, up to `extraAhead` more while the
// entries prepared and not yet taken hold less than kAheadBytes, so that
// small pictures are ready while a group of them is flushed but large ones
// are not prepared long before they can be written. For the same reason,
// more than `workers` entries are in flight (admitted and not committed,
// the ones held for writing included) only while they hold less than
// kAheadBytes together: large pictures take one worker each, and fresh
// memory, which costs more than reused memory, is not taken for pictures
// that would only wait. Before it decodes a picture, an entry is
// admitted to the memory budget, in list order, with the bytes its header
// says it needs; it holds them until it is committed. An entry is admitted
// when the entries in flight leave room for it, or when none is in flight,
// so one larger than the whole budget runs alone. An entry whose source an
// earlier entry writes is read only once that entry is committed. With no
// workers, `take` prepares each entry itself.
class PrepareQueue {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::uint64_t kNoBudget = std::numeric_limits<std::uint64_t>::max();
    static constexpr std::uint64_t kAheadBytes = std::uint64_t{96} << 20;

    // The bytes an entry needs, from its source and the format converted to.
    using EntryCost = std::function<std::uint64_t(const QString& source, const QString& format)>;

    PrepareQueue(BatchPlan plan, int workers, std::uint64_t budget = kNoBudget, int extraAhead = 0,
                 EntryCost costOf = entryCostOf);
    ~PrepareQueue();
    PrepareQueue(const PrepareQueue&) = delete;
    PrepareQueue& operator=(const PrepareQueue&) = delete;

    const BatchPlan& plan() const { return plan_; }
    int size() const { return static_cast<int>(plan_.sources.size()); }

    enum class Taken { Ready, Stopped, Later };
    // Takes the outcome of entry `index`, the next in list order, into
    // `outcome` once it is prepared (Ready), or ends waiting when a stop
    // comes (Stopped). With `until`, the caller holds entries it has not
    // committed yet: the wait also ends (Later) at that time, or as soon
    // as the entry cannot be prepared before they are committed.
    Taken take(int index, PreparedOutcome& outcome,
               std::optional<Clock::time_point> until = std::nullopt);
    // Whether entry `index` cannot be prepared until the entries before it
    // are committed: it reads a file one of them writes, or it waits for
    // memory they hold.
    bool waitsOnCommits(int index) const;
    // The last earlier entry whose target is the target of entry `index`,
    // -1 for none.
    int earlierSameTarget(int index) const {
        return dependencies_.targetWriter[static_cast<std::size_t>(index)];
    }
    // The commit of entry `index` has ended; the entries after it may go
    // on, and the memory it held is free.
    void markCommitted(int index);

    // Any thread: ends the run's waits and the workers' work; entries not
    // yet taken are dropped.
    void requestStop();
    bool stopRequested() const;

    // The bytes admitted and not yet released, and the most there were at
    // once (for tests and measurements).
    std::uint64_t bytesInFlight() const;
    std::uint64_t mostBytesInFlight() const;

  private:
    void work();
    PreparedOutcome prepare(int index) const;
    bool waitsOnCommitsLocked(int index) const;
    bool mayPrepareNext() const;

    const BatchPlan plan_;
    const EntryDependencies dependencies_;
    const int workers_;
    const int ahead_;
    const std::uint64_t budget_;
    const EntryCost costOf_;

    mutable std::mutex mutex_;
    std::condition_variable workersWake_;
    std::condition_variable outcomeReady_;
    int nextToPrepare_ = 0;
    int nextToTake_ = 0;
    int committed_ = 0;  // entries before this index are committed
    int nextToAdmit_ = 0;
    int waitingForRoom_ = -1;  // the entry that waits for memory, if any
    std::uint64_t inFlight_ = 0;
    std::uint64_t admittedAhead_ = 0;  // of the entries not yet taken
    int admittedInFlight_ = 0;
    std::uint64_t mostInFlight_ = 0;
    std::vector<std::uint64_t> costs_;
    bool stop_ = false;
    std::atomic<bool> abandoned_{false};  // stop_, for work outside the lock
    std::vector<std::optional<PreparedOutcome>> outcomes_;
    std::vector<std::thread> threads_;
};

}  // namespace quillmere

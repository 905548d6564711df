#pragma once

#include <QString>
#include <exception>
#include <functional>

#include "convert/batch_plan.h"
#include "convert/batch_resources.h"
#include "convert/batch_view.h"
#include "convert/commit_group.h"
#include "convert/prepare_queue.h"

namespace quillmere {

enum class BatchEnd { Finished, Stopped };

// A conversion run: entries are prepared ahead on `workers` threads (none:
// each entry is prepared when its turn comes), within a memory budget of
// `budget` bytes, and committed strictly in list order by the thread that
// calls `run`, so the files written and the log are those of converting
// the entries one after another. Entries are committed in groups whose
// targets reach the disk with one flush (see CommitGroup); a group is
// committed when it reaches its limits, when the next entry is not ready
// in time or depends on it, at a stop and at an error. The workers start
// at construction.
class BatchRunner {
  public:
    BatchRunner(BatchPlan plan, int workers, std::uint64_t budget = PrepareQueue::kNoBudget,
                CommitGroup::Limits groupLimits = {});

    // What the run does after an entry failed to be loaded, decoded,
    // encoded or written.
    enum class AfterFailure { GoOn, End };
    // Called on the committing thread, in list order, with the source of
    // each entry that failed and its error, once the entries before it are
    // committed and it is shown and logged as far as it got.
    using EntryFailed =
        std::function<AfterFailure(const QString& source, const std::exception_ptr& error)>;
    // Without a handler, the first failure ends the run.
    void onEntryFailed(EntryFailed handler) { entryFailed_ = std::move(handler); }

    // Commits every entry, then logs "finished!". A stop ends the run after
    // the entry being committed and logs that the run was stopped. A failed
    // entry that the run goes on after counts as committed; the first one
    // that ends the run propagates its error, and the entries after it are
    // neither written nor logged.
    BatchEnd run(BatchView& view);

    // Any thread.
    void requestStop() { queue_.requestStop(); }

  private:
    PrepareQueue queue_;
    const CommitGroup::Limits groupLimits_;
    EntryFailed entryFailed_;
};

}  // namespace quillmere

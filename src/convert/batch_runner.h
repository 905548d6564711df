#pragma once

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

    // Commits every entry, then logs "finished!". A stop ends the run after
    // the entry being committed and logs that the run was stopped. The
    // first error ends the run and propagates; the entries after it are
    // neither written nor logged.
    BatchEnd run(BatchView& view);

    // Any thread.
    void requestStop() { queue_.requestStop(); }

  private:
    PrepareQueue queue_;
    const CommitGroup::Limits groupLimits_;
};

}  // namespace quillmere

#pragma once

#include "convert/batch_plan.h"
#include "convert/batch_resources.h"
#include "convert/batch_view.h"
#include "convert/prepare_queue.h"

namespace quillmere {

enum class BatchEnd { Finished, Stopped };

// A conversion run: entries are prepared ahead on `workers` threads (none:
// each entry is prepared when its turn comes) and committed strictly in
// list order by the thread that calls `run`, so the files written and the
// log are those of converting the entries one after another. The workers
// start at construction.
class BatchRunner {
  public:
    BatchRunner(BatchPlan plan, int workers);

    // Commits every entry, then logs "finished!". A stop ends the run after
    // the entry being committed and logs that the run was stopped. The
    // first error ends the run and propagates; the entries after it are
    // neither written nor logged.
    BatchEnd run(BatchView& view);

    // Any thread.
    void requestStop() { queue_.requestStop(); }

  private:
    PrepareQueue queue_;
};

}  // namespace quillmere

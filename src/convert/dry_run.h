#pragma once

#include "convert/batch_plan.h"
#include "convert/batch_runner.h"
#include "convert/batch_view.h"

namespace quillmere {

// Logs what a run of `plan` would log, in list order, and ends every entry
// as that run would, without reading a picture or writing anything: a
// target that exists, or that an earlier entry writes, is logged as
// existing (and written over with overwrite on); the others are logged as
// written. A source that is missing, and not an earlier entry's target, is
// skipped. An entry without a target, or whose target lies behind a link
// leading out of the output folder, fails: `failed` says whether the run
// goes on; if not, its error propagates.
BatchEnd dryRunBatch(const BatchPlan& plan, BatchView& view,
                     const BatchRunner::EntryFailed& failed);

}  // namespace quillmere

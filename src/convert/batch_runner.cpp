#include "convert/batch_runner.h"

#include "convert/convert_messages.h"

namespace quillmere {

BatchRunner::BatchRunner(BatchPlan plan, int workers) : queue_(std::move(plan), workers) {}

BatchEnd BatchRunner::run(BatchView& view) {
    BatchProgress progress{0, queue_.size(), 0};
    const bool overwrite = queue_.plan().overwrite;
    for (int index = 0; index < queue_.size(); ++index) {
        std::optional<PreparedOutcome> outcome =
            queue_.stopRequested() ? std::nullopt : queue_.take(index);
        if (!outcome) {
            view.appendLine(convert_messages::stopped());
            return BatchEnd::Stopped;
        }
        if (outcome->loadError) {
            queue_.requestStop();
            view.loadFailed();
            std::rethrow_exception(outcome->loadError);
        }
        if (!outcome->sourceMissing) {
            progress.pixels +=
                std::int64_t{outcome->entry.picture.width()} * outcome->entry.picture.height();
            try {
                commitEntry(outcome->entry, view, overwrite);
            } catch (...) {
                queue_.requestStop();
                throw;
            }
            outcome.reset();
        }
        queue_.markCommitted(index);
        ++progress.done;
        view.progressed(progress);
    }
    view.appendLine(convert_messages::finished());
    return BatchEnd::Finished;
}

}  // namespace quillmere

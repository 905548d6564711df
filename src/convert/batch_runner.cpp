#include "convert/batch_runner.h"

#include "convert/convert_messages.h"

namespace quillmere {

BatchRunner::BatchRunner(BatchPlan plan, int workers, std::uint64_t budget,
                         CommitGroup::Limits groupLimits)
    : queue_(std::move(plan), workers, budget, std::max(groupLimits.entries - 1, 0)),
      groupLimits_(groupLimits) {}

BatchEnd BatchRunner::run(BatchView& view) {
    BatchProgress progress{0, queue_.size(), 0};
    const bool overwrite = queue_.plan().overwrite;
    CommitGroup group(groupLimits_);
    const auto committed = [&](int index, std::int64_t pixels) {
        queue_.markCommitted(index);
        progress.pixels += pixels;
        ++progress.done;
        view.progressed(progress);
    };
    const auto stopping = [this] { return queue_.stopRequested(); };
    CommitGroup::Failed failed;
    if (entryFailed_) {
        failed = [this](int index, const std::exception_ptr& error) {
            return entryFailed_(queue_.plan().sources[index], error) == AfterFailure::GoOn;
        };
    }
    // False when a stop ended it.
    const auto commitGroup = [&] {
        try {
            return group.commit(view, committed, stopping, failed);
        } catch (...) {
            queue_.requestStop();
            throw;
        }
    };
    const auto stop = [&] {
        view.appendLine(convert_messages::stopped());
        return BatchEnd::Stopped;
    };

    for (int index = 0; index < queue_.size(); ++index) {
        PreparedOutcome outcome;
        PrepareQueue::Taken taken = PrepareQueue::Taken::Later;
        while (taken == PrepareQueue::Taken::Later) {
            if (group.due(CommitGroup::Clock::now()) ||
                (!group.empty() && queue_.waitsOnCommits(index))) {
                if (!commitGroup()) return stop();
            }
            taken = group.empty() ? queue_.take(index, outcome)
                                  : queue_.take(index, outcome, group.deadline());
        }
        if (taken == PrepareQueue::Taken::Stopped) {
            commitGroup();
            return stop();
        }
        if (outcome.loadError) {
            group.addLoadFailed(index, outcome.loadError);
        } else if (outcome.sourceMissing) {
            group.addSkipped(index);
        } else {
            // Its existence test must see the earlier entry's target.
            if (!group.empty() && queue_.earlierSameTarget(index) >= group.firstIndex()) {
                if (!commitGroup()) return stop();
            }
            stageEntry(index, outcome.entry, overwrite, group, queue_.plan().showPictures);
        }
        if (group.due(CommitGroup::Clock::now()) && !commitGroup()) return stop();
    }
    if (!commitGroup()) return stop();
    view.appendLine(convert_messages::finished());
    return BatchEnd::Finished;
}

}  // namespace quillmere

#include "convert/batch_runner.h"

#include <optional>
#include <unordered_map>

#include "convert/convert_messages.h"
#include "convert/output_folder.h"

namespace quillmere {

BatchRunner::BatchRunner(BatchPlan plan, int workers, std::uint64_t budget,
                         CommitGroup::Limits groupLimits)
    : queue_(std::move(plan), workers, budget, std::max(groupLimits.entries - 1, 0)),
      groupLimits_(groupLimits) {}

BatchEnd BatchRunner::run(BatchView& view) {
    BatchProgress progress{0, queue_.size(), 0};
    const bool overwrite = queue_.plan().overwrite;
    const BatchPlan& plan = queue_.plan();
    CommitGroup group(groupLimits_);
    std::optional<OutputFolder> outputFolder;
    if (!plan.targetFolder.isEmpty()) outputFolder.emplace(plan.targetFolder);
    // The time spent on the entries taken and not yet ended.
    std::unordered_map<int, double> secondsSpent;
    const auto ended = [&](int index, EntryStatus status, const std::exception_ptr& error) {
        EntryEnd end{index, status, plan.sources[index], plan.targetOf(index), error, 0};
        if (const auto spent = secondsSpent.find(index); spent != secondsSpent.end()) {
            end.seconds = spent->second;
            secondsSpent.erase(spent);
        }
        view.entryEnded(end);
    };
    const auto committed = [&](int index, std::int64_t pixels, EntryStatus status) {
        queue_.markCommitted(index);
        progress.pixels += pixels;
        ++progress.done;
        view.progressed(progress);
        if (status != EntryStatus::Failed) ended(index, status, nullptr);
    };
    const auto stopping = [this] { return queue_.stopRequested(); };
    CommitGroup::Failed failed;
    if (entryFailed_) {
        failed = [&](int index, const std::exception_ptr& error) {
            ended(index, EntryStatus::Failed, error);
            return entryFailed_(plan.sources[index], error) == AfterFailure::GoOn;
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
        secondsSpent[index] = outcome.seconds;
        if (outcome.loadError) {
            group.addLoadFailed(index, outcome.loadError);
        } else if (outcome.sourceMissing) {
            group.addSkipped(index);
        } else {
            // Its existence test must see the earlier entry's target.
            if (!group.empty() && queue_.earlierSameTarget(index) >= group.firstIndex()) {
                if (!commitGroup()) return stop();
            }
            const auto start = CommitGroup::Clock::now();
            stageEntry(index, outcome.entry, overwrite, group, plan.showPictures,
                       outputFolder ? &*outputFolder : nullptr);
            secondsSpent[index] +=
                std::chrono::duration<double>(CommitGroup::Clock::now() - start).count();
        }
        if (group.due(CommitGroup::Clock::now()) && !commitGroup()) return stop();
    }
    if (!commitGroup()) return stop();
    view.appendLine(convert_messages::finished());
    return BatchEnd::Finished;
}

}  // namespace quillmere

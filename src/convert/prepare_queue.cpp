#include "convert/prepare_queue.h"

#include "convert/output_path.h"
#include "convert/source_dependencies.h"
#include "imaging/file_access.h"

namespace quillmere {

namespace {

std::vector<int> writersOfSources(const BatchPlan& plan) {
    QStringList targets;
    targets.reserve(plan.sources.size());
    for (const QString& source : plan.sources)
        targets.append(outputPathFor(source, plan.formatItem));
    return lastEarlierWriters(plan.sources, targets);
}

}  // namespace

PrepareQueue::PrepareQueue(BatchPlan plan, int workers)
    : plan_(std::move(plan)),
      lastWriter_(workers > 0 ? writersOfSources(plan_) : std::vector<int>{}),
      workers_(std::max(workers, 0)),
      outcomes_(static_cast<std::size_t>(plan_.sources.size())) {
    const int threadCount = std::min(workers_, size());
    threads_.reserve(static_cast<std::size_t>(threadCount));
    for (int i = 0; i < threadCount; ++i) threads_.emplace_back([this] { work(); });
}

PrepareQueue::~PrepareQueue() {
    requestStop();
    for (std::thread& thread : threads_) thread.join();
}

void PrepareQueue::requestStop() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        abandoned_ = true;
    }
    workersWake_.notify_all();
    outcomeReady_.notify_all();
}

bool PrepareQueue::stopRequested() const {
    const std::lock_guard lock(mutex_);
    return stop_;
}

PreparedOutcome PrepareQueue::prepare(int index) const {
    PreparedOutcome outcome;
    const QString& source = plan_.sources[index];
    if (!isExistingFile(source)) {
        outcome.sourceMissing = true;
        return outcome;
    }
    try {
        outcome.entry =
            prepareEntry(source, plan_.formatItem, plan_.quality, plan_.overwrite, &abandoned_);
    } catch (...) {
        outcome.loadError = std::current_exception();
    }
    return outcome;
}

void PrepareQueue::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        workersWake_.wait(lock, [this] {
            return stop_ || nextToPrepare_ >= size() || nextToPrepare_ - committed_ <= workers_;
        });
        if (stop_ || nextToPrepare_ >= size()) return;
        const int index = nextToPrepare_++;
        const int writer = lastWriter_[static_cast<std::size_t>(index)];
        workersWake_.wait(lock, [&] { return stop_ || committed_ > writer; });
        if (stop_) return;

        lock.unlock();
        PreparedOutcome outcome = prepare(index);
        lock.lock();
        outcomes_[static_cast<std::size_t>(index)] = std::move(outcome);
        outcomeReady_.notify_all();
    }
}

std::optional<PreparedOutcome> PrepareQueue::take(int index) {
    if (workers_ == 0) {
        if (stopRequested()) return std::nullopt;
        return prepare(index);
    }
    std::unique_lock lock(mutex_);
    auto& slot = outcomes_[static_cast<std::size_t>(index)];
    outcomeReady_.wait(lock, [&] { return stop_ || slot.has_value(); });
    if (stop_) return std::nullopt;
    std::optional<PreparedOutcome> outcome = std::move(slot);
    slot.reset();
    return outcome;
}

void PrepareQueue::markCommitted(int index) {
    {
        const std::lock_guard lock(mutex_);
        committed_ = index + 1;
    }
    workersWake_.notify_all();
}

}  // namespace quillmere

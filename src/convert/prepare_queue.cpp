#include "convert/prepare_queue.h"

#include <algorithm>

#include "common/app_error.h"
#include "imaging/file_access.h"

namespace quillmere {

namespace {

EntryDependencies dependenciesOf(const BatchPlan& plan) {
    QStringList targets;
    targets.reserve(plan.sources.size());
    for (int i = 0; i < plan.sources.size(); ++i) {
        // An entry without a target writes nothing.
        const QString target = plan.targetOf(i);
        targets.append(target.isEmpty() ? plan.sources[i] : target);
    }
    return entryDependencies(plan.sources, targets);
}

}  // namespace

PrepareQueue::PrepareQueue(BatchPlan plan, int workers, std::uint64_t budget, int extraAhead,
                           EntryCost costOf)
    : plan_(std::move(plan)),
      dependencies_(dependenciesOf(plan_)),
      // One entry gains nothing from a thread of its own.
      workers_(plan_.sources.size() > 1 ? std::max(workers, 0) : 0),
      ahead_(workers_ + (budget == kNoBudget ? 0 : std::max(extraAhead, 0))),
      budget_(budget),
      costOf_(std::move(costOf)),
      costs_(static_cast<std::size_t>(plan_.sources.size()), 0),
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

std::uint64_t PrepareQueue::bytesInFlight() const {
    const std::lock_guard lock(mutex_);
    return inFlight_;
}

std::uint64_t PrepareQueue::mostBytesInFlight() const {
    const std::lock_guard lock(mutex_);
    return mostInFlight_;
}

PreparedOutcome PrepareQueue::prepare(int index) const {
    PreparedOutcome outcome;
    const QString& source = plan_.sources[index];
    if (!isExistingFile(source)) {
        outcome.sourceMissing = true;
        return outcome;
    }
    const auto start = Clock::now();
    try {
        if (!plan_.targets.empty()) {
            const QString& problem = plan_.targets[static_cast<std::size_t>(index)].problem;
            if (!problem.isEmpty()) throw AppError(problem);
        }
        outcome.entry = prepareEntry(source, plan_.targetOf(index), plan_.quality, plan_.overwrite,
                                     &abandoned_, plan_.showPictures);
    } catch (...) {
        outcome.loadError = std::current_exception();
    }
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return outcome;
}

void PrepareQueue::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        workersWake_.wait(lock,
                          [this] { return stop_ || nextToPrepare_ >= size() || mayPrepareNext(); });
        if (stop_ || nextToPrepare_ >= size()) return;
        const int index = nextToPrepare_++;
        const int writer = dependencies_.sourceWriter[static_cast<std::size_t>(index)];
        workersWake_.wait(lock, [&] { return stop_ || committed_ > writer; });
        if (stop_) return;

        std::uint64_t cost = 0;
        if (budget_ != kNoBudget) {
            lock.unlock();
            cost = costOf_(plan_.sources[index], plan_.formatItem);
            lock.lock();
            workersWake_.wait(lock, [&] { return stop_ || nextToAdmit_ == index; });
            const auto hasRoom = [&] {
                const bool fits = inFlight_ <= budget_ && cost <= budget_ - inFlight_;
                const bool workerFree =
                    admittedInFlight_ < workers_ || inFlight_ + cost < kAheadBytes;
                return stop_ || inFlight_ == 0 || (fits && workerFree);
            };
            if (!hasRoom()) {
                waitingForRoom_ = index;
                outcomeReady_.notify_all();
                workersWake_.wait(lock, hasRoom);
                waitingForRoom_ = -1;
            }
            if (stop_) return;
            costs_[static_cast<std::size_t>(index)] = cost;
            inFlight_ += cost;
            admittedAhead_ += cost;
            ++admittedInFlight_;
            mostInFlight_ = std::max(mostInFlight_, inFlight_);
            ++nextToAdmit_;
            workersWake_.notify_all();
        }

        lock.unlock();
        PreparedOutcome outcome = prepare(index);
        lock.lock();
        outcomes_[static_cast<std::size_t>(index)] = std::move(outcome);
        outcomeReady_.notify_all();
    }
}

bool PrepareQueue::mayPrepareNext() const {
    const int ahead = nextToPrepare_ - nextToTake_;
    return ahead < workers_ || (ahead < ahead_ && admittedAhead_ < kAheadBytes);
}

bool PrepareQueue::waitsOnCommitsLocked(int index) const {
    return waitingForRoom_ == index ||
           dependencies_.sourceWriter[static_cast<std::size_t>(index)] >= committed_;
}

bool PrepareQueue::waitsOnCommits(int index) const {
    const std::lock_guard lock(mutex_);
    return waitsOnCommitsLocked(index);
}

PrepareQueue::Taken PrepareQueue::take(int index, PreparedOutcome& outcome,
                                       std::optional<Clock::time_point> until) {
    if (workers_ == 0) {
        if (stopRequested()) return Taken::Stopped;
        if (until && waitsOnCommits(index)) return Taken::Later;
        outcome = prepare(index);
        return Taken::Ready;
    }
    std::unique_lock lock(mutex_);
    auto& slot = outcomes_[static_cast<std::size_t>(index)];
    const auto settled = [&] {
        return stop_ || slot.has_value() || (until && waitsOnCommitsLocked(index));
    };
    if (until) {
        outcomeReady_.wait_until(lock, *until, settled);
    } else {
        outcomeReady_.wait(lock, settled);
    }
    if (stop_) return Taken::Stopped;
    if (!slot) return Taken::Later;
    outcome = std::move(*slot);
    slot.reset();
    nextToTake_ = index + 1;
    admittedAhead_ -= costs_[static_cast<std::size_t>(index)];
    lock.unlock();
    workersWake_.notify_all();
    return Taken::Ready;
}

void PrepareQueue::markCommitted(int index) {
    {
        const std::lock_guard lock(mutex_);
        committed_ = index + 1;
        std::uint64_t& cost = costs_[static_cast<std::size_t>(index)];
        inFlight_ -= cost;
        cost = 0;
        if (budget_ != kNoBudget && index < nextToAdmit_) --admittedInFlight_;
    }
    workersWake_.notify_all();
}

}  // namespace quillmere

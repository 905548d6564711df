#include "app/background_batch.h"

namespace quillmere {

namespace {

// About one frame of a 60 Hz display.
constexpr int kFrameMilliseconds = 16;

}  // namespace

class BackgroundBatch::GatheringView final : public BatchView {
  public:
    explicit GatheringView(BackgroundBatch& batch) : batch_(batch) {}
    void appendLine(const QString& line) override {
        batch_.gather([&](BatchUpdate& update) { update.log.appendLine(line); });
    }
    void appendToLastLine(const QString& text) override {
        batch_.gather([&](BatchUpdate& update) { update.log.appendToLastLine(text); });
    }
    void showPicture(Bitmap24 picture) override {
        batch_.gather([&](BatchUpdate& update) { update.picture = std::move(picture); });
    }
    void loadFailed() override { batch_.loadFailed_ = true; }
    void progressed(const BatchProgress& progress) override {
        batch_.gather([&](BatchUpdate& update) { update.progress = progress; });
    }

  private:
    BackgroundBatch& batch_;
};

BackgroundBatch::BackgroundBatch(BatchPlan plan, int workers, std::uint64_t budget, QObject* parent)
    : QObject(parent), plan_(std::move(plan)), workers_(workers), budget_(budget) {
    frameTimer_.setSingleShot(true);
    connect(&frameTimer_, &QTimer::timeout, this, &BackgroundBatch::announce);
}

BackgroundBatch::~BackgroundBatch() {
    requestStop();
    wait();
}

void BackgroundBatch::requestStop() {
    const std::lock_guard lock(runnerMutex_);
    stopRequested_ = true;
    if (runner_) runner_->requestStop();
}

void BackgroundBatch::start() {
    thread_ = std::thread([this] { run(); });
}

void BackgroundBatch::wait() {
    if (thread_.joinable()) thread_.join();
}

void BackgroundBatch::run() {
    GatheringView view(*this);
    try {
        auto runner = std::make_unique<BatchRunner>(std::move(plan_), workers_, budget_);
        BatchRunner& running = *runner;
        {
            const std::lock_guard lock(runnerMutex_);
            if (stopRequested_) runner->requestStop();
            runner_ = std::move(runner);
        }
        end_ = running.run(view);
    } catch (...) {
        error_ = std::current_exception();
    }
    std::unique_ptr<BatchRunner> ending;
    {
        const std::lock_guard lock(runnerMutex_);
        ending = std::move(runner_);
    }
    ending.reset();
    emit ended();
}

template <typename Change>
void BackgroundBatch::gather(Change change) {
    bool wasEmpty = false;
    {
        const std::lock_guard lock(updateMutex_);
        wasEmpty = update_.isEmpty();
        change(update_);
    }
    if (wasEmpty) QMetaObject::invokeMethod(this, &BackgroundBatch::wake, Qt::QueuedConnection);
}

void BackgroundBatch::wake() {
    const qint64 since = sinceUpdated_.isValid() ? sinceUpdated_.elapsed() : kFrameMilliseconds;
    if (since >= kFrameMilliseconds) {
        announce();
    } else if (!frameTimer_.isActive()) {
        frameTimer_.start(static_cast<int>(kFrameMilliseconds - since));
    }
}

void BackgroundBatch::announce() {
    sinceUpdated_.start();
    emit updated();
}

BatchUpdate BackgroundBatch::takeUpdate() {
    const std::lock_guard lock(updateMutex_);
    return std::exchange(update_, BatchUpdate());
}

}  // namespace quillmere

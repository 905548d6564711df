#include "app/background_batch.h"

namespace quillmere {

class BackgroundBatch::SignallingView final : public BatchView {
  public:
    explicit SignallingView(BackgroundBatch& batch) : batch_(batch) {}
    void appendLine(const QString& line) override { emit batch_.lineAppended(line); }
    void appendToLastLine(const QString& text) override { emit batch_.lastLineExtended(text); }
    void showPicture(Bitmap24 picture) override { batch_.offerPicture(std::move(picture)); }
    void loadFailed() override { batch_.loadFailed_ = true; }
    void progressed(const BatchProgress& progress) override {
        emit batch_.progressed(progress.done, progress.total);
    }

  private:
    BackgroundBatch& batch_;
};

BackgroundBatch::BackgroundBatch(BatchPlan plan, int workers, std::uint64_t budget, QObject* parent)
    : QObject(parent), plan_(std::move(plan)), workers_(workers), budget_(budget) {}

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
    SignallingView view(*this);
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

void BackgroundBatch::offerPicture(Bitmap24 picture) {
    bool announce = false;
    {
        const std::lock_guard lock(pictureMutex_);
        announce = !picture_.has_value();
        picture_ = std::move(picture);
    }
    if (announce) emit pictureCommitted();
}

std::optional<Bitmap24> BackgroundBatch::takePicture() {
    const std::lock_guard lock(pictureMutex_);
    std::optional<Bitmap24> picture = std::move(picture_);
    picture_.reset();
    return picture;
}

}  // namespace quillmere

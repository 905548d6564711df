#pragma once

#include <QObject>
#include <QString>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "convert/batch_runner.h"

namespace quillmere {

// A conversion run away from the window: a thread of its own commits the
// entries in list order while the workers prepare ahead, and everything
// the run shows comes back to the window's thread as signals, in the order
// the run made it. Nothing here touches a widget.
class BackgroundBatch : public QObject {
    Q_OBJECT

  public:
    BackgroundBatch(BatchPlan plan, int workers, std::uint64_t budget = PrepareQueue::kNoBudget,
                    QObject* parent = nullptr);
    // Stops a run still going and waits for its threads.
    ~BackgroundBatch() override;

    void start();
    // Waits for the run's thread; the error and the end are then known.
    void wait();
    // Ends the run after the entry being committed.
    void requestStop();

    // The newest picture committed that the window has not taken yet; an
    // older one not taken is dropped, so a slow window never holds more.
    std::optional<Bitmap24> takePicture();

    // Valid once `ended` has been received: the error that ended the run,
    // and whether it was a source that failed to load.
    std::exception_ptr error() const { return error_; }
    bool loadFailed() const { return loadFailed_; }
    bool stopped() const { return end_ == BatchEnd::Stopped; }

  signals:
    void lineAppended(const QString& line);
    void lastLineExtended(const QString& text);
    void pictureCommitted();
    void progressed(int done, int total);
    // The last signal of a run; its threads have ended or are ending.
    void ended();

  private:
    class SignallingView;
    void run();
    void offerPicture(Bitmap24 picture);

    // Made and ended on the run's thread (planning a long list reads every
    // file's identity; ending waits for the workers), never on the window's.
    BatchPlan plan_;
    const int workers_;
    const std::uint64_t budget_;
    std::mutex runnerMutex_;
    std::unique_ptr<BatchRunner> runner_;
    bool stopRequested_ = false;
    std::thread thread_;
    std::mutex pictureMutex_;
    std::optional<Bitmap24> picture_;
    // Written by the run's thread before `ended`, read after it.
    std::exception_ptr error_;
    bool loadFailed_ = false;
    BatchEnd end_ = BatchEnd::Finished;
};

}  // namespace quillmere

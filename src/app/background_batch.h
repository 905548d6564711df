#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "app/pending_log.h"
#include "convert/batch_runner.h"

namespace quillmere {

// What a run has shown since the window last took it: the log's
// operations in order, the latest progress, and the newest picture
// committed (an older one not taken is dropped, so a slow window never
// holds more).
struct BatchUpdate {
    PendingLog log;
    std::optional<BatchProgress> progress;
    std::optional<Bitmap24> picture;

    bool isEmpty() const { return log.isEmpty() && !progress && !picture; }
};

// A conversion run away from the window: a thread of its own commits the
// entries in list order while the workers prepare ahead. What the run
// shows gathers in one update, which the window takes in one go, at most
// once a frame however fast the entries come. Nothing here touches a
// widget.
class BackgroundBatch : public QObject {
    Q_OBJECT

  public:
    BackgroundBatch(BatchPlan plan, int workers, std::uint64_t budget = PrepareQueue::kNoBudget,
                    QObject* parent = nullptr);
    // Stops a run still going and waits for its threads.
    ~BackgroundBatch() override;

    void start();
    // Waits for the run's thread; the error, the end and the last update
    // are then known.
    void wait();
    // Ends the run after the entry being committed.
    void requestStop();

    // What the run has shown since the last call; empty when nothing.
    BatchUpdate takeUpdate();

    // Valid once `ended` has been received: the error that ended the run,
    // and whether it was a source that failed to load.
    std::exception_ptr error() const { return error_; }
    bool loadFailed() const { return loadFailed_; }
    bool stopped() const { return end_ == BatchEnd::Stopped; }

  signals:
    // An update waits to be taken. Emitted on the window's thread, at most
    // once a frame.
    void updated();
    // The last signal of a run; its threads have ended or are ending. What
    // the run showed last may still wait to be taken.
    void ended();

  private:
    class GatheringView;
    void run();
    // On the run's thread: changes the waiting update. The first change
    // after the window took the update asks it, once, to come back.
    template <typename Change>
    void gather(Change change);
    // On the window's thread: the request to come back, answered at once
    // or when a frame has passed since the last update.
    void wake();
    void announce();

    // Made and ended on the run's thread (planning a long list reads every
    // file's identity; ending waits for the workers), never on the window's.
    BatchPlan plan_;
    const int workers_;
    const std::uint64_t budget_;
    std::mutex runnerMutex_;
    std::unique_ptr<BatchRunner> runner_;
    bool stopRequested_ = false;
    std::thread thread_;
    std::mutex updateMutex_;
    BatchUpdate update_;
    QTimer frameTimer_;
    QElapsedTimer sinceUpdated_;
    // Written by the run's thread before `ended`, read after it.
    std::exception_ptr error_;
    bool loadFailed_ = false;
    BatchEnd end_ = BatchEnd::Finished;
};

}  // namespace quillmere

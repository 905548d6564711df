#pragma once

#include "support/folder_contents.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "convert/batch_view.h"

// Helpers of the batch runner's tests: a view that records everything a
// run shows, and a folder's complete contents as text.
namespace quillmere::test {

// Records, in order, every log change, picture, failed load and progress
// report of a run. `onShow` and `onProgress` let a test act from inside
// the run, on the thread that commits.
class RecordingView : public BatchView {
  public:
    void appendLine(const QString& line) override;
    void appendToLastLine(const QString& text) override;
    void showPicture(Bitmap24 picture) override;
    void loadFailed() override;
    void progressed(const BatchProgress& progress) override;

    QStringList lines;
    // "line TEXT", "append TEXT", "picture WxH DIGEST", "load failed".
    QStringList events;
    std::vector<BatchProgress> progress;
    // The number of log lines when each progress report came.
    std::vector<int> linesAtProgress;
    int picturesShown = 0;

    std::function<void(int entryShown)> onShow;
    std::function<void(const BatchProgress&)> onProgress;
};

// The name of a worker count in the tests' names.
std::string workerCountName(int count);

// A picture's size and a digest of its pixels.
QString describePicture(const Bitmap24& picture);

// The names of the hidden entries right in `root` (such as temporary files
// that a write left behind).
QStringList hiddenEntries(const QString& root);

}  // namespace quillmere::test

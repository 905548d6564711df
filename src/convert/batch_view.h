#pragma once

#include <cstdint>

#include "convert/conversion_ports.h"
#include "imaging/bitmap24.h"
#include "imaging/image_control.h"

namespace quillmere {

// How far a run has come: entries done (committed or skipped) out of the
// entries it converts, and the pixels of the pictures committed so far.
struct BatchProgress {
    int done = 0;
    int total = 0;
    std::int64_t pixels = 0;
};

// What a conversion run shows, called on the thread that commits the
// entries: the log, the picture of each entry as it is committed, and the
// progress.
class BatchView : public ConversionLog {
  public:
    // The picture of the entry being committed, shown as a load shows it.
    virtual void showPicture(Bitmap24 picture) = 0;
    // A source could not be loaded: the previous picture stays.
    virtual void loadFailed() = 0;
    virtual void progressed(const BatchProgress& progress) { (void)progress; }
};

// The view a run shows straight in an image control and a log, on the
// calling thread.
class ControlBatchView : public BatchView {
  public:
    ControlBatchView(ImageControl& preview, ConversionLog& log) : preview_(preview), log_(log) {}
    void appendLine(const QString& line) override { log_.appendLine(line); }
    void appendToLastLine(const QString& text) override { log_.appendToLastLine(text); }
    void showPicture(Bitmap24 picture) override;
    void loadFailed() override;

  private:
    ImageControl& preview_;
    ConversionLog& log_;
};

}  // namespace quillmere

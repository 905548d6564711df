#pragma once

#include <QString>
#include <cstdint>
#include <exception>

#include "convert/conversion_ports.h"
#include "imaging/bitmap24.h"

namespace quillmere {

// How far a run has come: entries done (committed or skipped) out of the
// entries it converts, and the pixels of the pictures committed so far.
struct BatchProgress {
    int done = 0;
    int total = 0;
    std::int64_t pixels = 0;
};

// How an entry of a run ended: its target written where none was, written
// over an existing one, kept because it exists, its source missing (the
// entry is skipped without a trace), or failed.
enum class EntryStatus { Converted, Replaced, Exists, Missing, Failed };

struct EntryEnd {
    int index = 0;
    EntryStatus status = EntryStatus::Converted;
    QString source;
    QString target;
    // Set for a failed entry.
    std::exception_ptr error;
    // The time spent reading, converting and writing it.
    double seconds = 0;
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
    // Each entry once, in list order, once it is committed and logged; a
    // failed one before the run decides whether to go on after it, and
    // only in a run that has a handler of failed entries.
    virtual void entryEnded(const EntryEnd& end) { (void)end; }
};

}  // namespace quillmere

#pragma once

#include "convert/batch_plan.h"
#include "convert/batch_runner.h"
#include "imaging/image_control.h"

namespace quillmere {

// What the batch reads and writes: the window's controls, or the command
// line's stand-ins for them.
struct BatchControls {
    const FileListView& list;
    ConversionLog& log;
    ImageControl& preview;
    const TargetFormatChoice& format;
    QualityField& quality;
    const OverwriteSwitch& overwrite;
};

// Converts the whole list, or only its selection when two or more entries
// are selected, writing each target beside its source and logging every
// step; "finished!" ends a complete run. Sources no longer on disk are
// skipped. The first error ends the run and propagates. The calling thread
// commits; `workers` threads prepare ahead of it (none: one entry after
// another on the calling thread).
void runBatchConversion(const BatchControls& controls, int workers = 0);

}  // namespace quillmere

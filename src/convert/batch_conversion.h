#pragma once

#include "convert/conversion_ports.h"
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

// The quality of a conversion run: the field's text read leniently, where
// 0 (an empty or unreadable text included) becomes 100 and the field then
// shows "100".
int readBatchQuality(QualityField& field);

// Converts the whole list, or only its selection when two or more entries
// are selected, writing each target beside its source and logging every
// step; "finished!" ends a complete run. Sources no longer on disk are
// skipped. The first error ends the run and propagates.
void runBatchConversion(const BatchControls& controls);

}  // namespace quillmere

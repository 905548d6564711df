#include "convert/batch_conversion.h"

namespace quillmere {

void runBatchConversion(const BatchControls& c, int workers) {
    BatchRunner runner(planBatch(c.list, c.format, c.quality, c.overwrite), workers);
    ControlBatchView view(c.preview, c.log);
    runner.run(view);
}

}  // namespace quillmere

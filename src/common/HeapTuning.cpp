#include "common/HeapTuning.h"

#include <malloc.h>

namespace zund
{
void tuneHeapForBulkFrees()
{
    // No "fast bins": the per-thread caches still serve the small blocks of
    // everyday use; what goes past them is merged at once.
    mallopt (M_MXFAST, 0);
}
}

#pragma once

namespace zund
{
/** Makes the C library's heap merge freed small blocks as they are freed,
    instead of piling them up and merging them all at the next larger request.
    The song table makes and frees blocks by the million (a search keystroke over
    a collector's database); merged later in one go, under the heap's lock, that
    held up the message thread for up to most of a second whenever it freed a
    message the table's worker had posted. Call once, at start-up. */
void tuneHeapForBulkFrees();
}

#pragma once

#include "library/browser/StringTableRow.h"

#include <juce_core/juce_core.h>

#include <functional>

namespace zund
{
/** Sorts table rows in place with a quicksort that keeps its pending ranges on
    a small explicit stack and holds the message-manager lock for one range at
    a time, so that it may run on a worker while the table stays responsive.
    Not stable. */
class StringTableRowSorter
{
public:
    /** Negative, 0 or positive, like a string comparison. */
    using Comparator = std::function<int (const StringTableRow&, const StringTableRow&)>;

    /** threadToWatch: the calling worker, whose exit request gives up the lock
        wait; nullptr to wait without limit. Returns false when the sort ended
        early: the lock could not be gained, or the rows were added or removed
        between two steps (their indices no longer hold). */
    static bool sort (juce::OwnedArray<StringTableRow>& rows, const Comparator& compare,
                      juce::Thread* threadToWatch);

    static constexpr int shortRange = 8; // ranges up to this size are sorted by selection
};
}

#include "library/browser/StringTableRowSorter.h"

#include <juce_events/juce_events.h>

namespace zund
{
namespace
{
struct Range
{
    int first, last; // inclusive
};

// Moves the greatest row to the end, then the greatest of the rest, and so on.
void sortShortRange (juce::OwnedArray<StringTableRow>& rows, Range r, const StringTableRowSorter::Comparator& compare)
{
    for (int end = r.last; end > r.first; --end)
    {
        int greatest = r.first;
        for (int i = r.first + 1; i <= end; ++i)
            if (compare (*rows.getUnchecked (i), *rows.getUnchecked (greatest)) > 0)
                greatest = i;
        rows.swap (greatest, end);
    }
}

// Partitions around the middle row and returns the pivot's final index. Both
// scans stop at rows equal to the pivot, so columns full of equal texts (an
// empty genre) still split in the middle instead of one row at a time.
int partition (juce::OwnedArray<StringTableRow>& rows, Range r, const StringTableRowSorter::Comparator& compare)
{
    rows.swap (r.first, r.first + (r.last - r.first) / 2);
    const auto& pivot = *rows.getUnchecked (r.first);

    int i = r.first + 1, j = r.last;
    for (;;)
    {
        while (i <= j && compare (*rows.getUnchecked (i), pivot) < 0)
            ++i;
        while (j >= i && compare (*rows.getUnchecked (j), pivot) > 0)
            --j;
        if (i >= j)
            break;
        rows.swap (i++, j--);
    }

    rows.swap (r.first, j);
    return j;
}
}

bool StringTableRowSorter::sort (juce::OwnedArray<StringTableRow>& rows, const Comparator& compare,
                                 juce::Thread* threadToWatch)
{
    // The smaller side of every split is sorted first, so the stack never holds
    // more ranges than the log2 of the row count.
    constexpr int stackSize = 32;
    Range stack[stackSize];
    int depth = 0;

    int count = 0;
    {
        const juce::MessageManagerLock mml (threadToWatch);
        if (! mml.lockWasGained())
            return false;
        count = rows.size();
    }

    if (count < 2)
        return true;

    Range current { 0, count - 1 };

    for (;;)
    {
        const juce::MessageManagerLock mml (threadToWatch);
        if (! mml.lockWasGained() || rows.size() != count)
            return false;

        if (current.last - current.first + 1 <= shortRange)
        {
            sortShortRange (rows, current, compare);
            if (depth == 0)
                return true;
            current = stack[--depth];
            continue;
        }

        const int p = partition (rows, current, compare);
        const Range left { current.first, p - 1 };
        const Range right { p + 1, current.last };
        const bool leftIsSmaller = left.last - left.first < right.last - right.first;
        jassert (depth < stackSize);
        stack[depth++] = leftIsSmaller ? right : left;
        current = leftIsSmaller ? left : right;
    }
}
}

#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace zund
{
/** A table's selection (a set of row ranges) turned into flags per row and
    back, each in one pass. Adding rows to the framework's set one at a time
    re-sorts its ranges at every add, and asking it for its i-th row walks its
    ranges: with every row of a large table selected either takes minutes. */
struct RowSelection
{
    /** One flag per row below `count`: 1 for the rows in the set. */
    static std::vector<char> flagsOf (const juce::SparseSet<int>& rows, int count);

    /** The set of the flagged rows. */
    static juce::SparseSet<int> setOf (const std::vector<char>& flags);

    /** Every row of the set, ascending. */
    static std::vector<int> rowsOf (const juce::SparseSet<int>& rows);
};
}

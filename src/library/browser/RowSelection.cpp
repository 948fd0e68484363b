#include "library/browser/RowSelection.h"

namespace zund
{
std::vector<char> RowSelection::flagsOf (const juce::SparseSet<int>& rows, int count)
{
    std::vector<char> flags ((size_t) juce::jmax (0, count), 0);
    for (int i = 0; i < rows.getNumRanges(); ++i)
    {
        const auto range = rows.getRange (i).getIntersectionWith ({ 0, count });
        if (! range.isEmpty())
            std::fill (flags.begin() + range.getStart(), flags.begin() + range.getEnd(), (char) 1);
    }
    return flags;
}

juce::SparseSet<int> RowSelection::setOf (const std::vector<char>& flags)
{
    std::vector<juce::Range<int>> runs;
    for (int i = 0, count = (int) flags.size(); i < count; ++i)
    {
        if (flags[(size_t) i] == 0)
            continue;
        int end = i + 1;
        while (end < count && flags[(size_t) end] != 0)
            ++end;
        runs.emplace_back (i, end);
        i = end;
    }

    // One range over all of them, then the gaps cut out from the front: each
    // cut only splits the last range, where adding ranges one by one would
    // sort them all again every time.
    juce::SparseSet<int> set;
    if (runs.empty())
        return set;
    set.addRange ({ runs.front().getStart(), runs.back().getEnd() });
    for (size_t i = 1; i < runs.size(); ++i)
        set.removeRange ({ runs[i - 1].getEnd(), runs[i].getStart() });
    return set;
}

std::vector<int> RowSelection::rowsOf (const juce::SparseSet<int>& rows)
{
    std::vector<int> list;
    list.reserve ((size_t) juce::jmax (0, rows.size()));
    for (int i = 0; i < rows.getNumRanges(); ++i)
        for (int row = rows.getRange (i).getStart(); row < rows.getRange (i).getEnd(); ++row)
            list.push_back (row);
    return list;
}
}

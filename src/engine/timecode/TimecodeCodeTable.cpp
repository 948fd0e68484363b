#include "engine/timecode/TimecodeCodeTable.h"

namespace zund
{
namespace
{
bool hasThreeOnesInARow (int pattern) noexcept
{
    int run = 0;
    for (int bit = 0; bit < 9; ++bit)
    {
        run = ((pattern >> bit) & 1) != 0 ? run + 1 : 0;
        if (run == 3)
            return true;
    }
    return false;
}
}

TimecodeCodeTable::TimecodeCodeTable() noexcept
{
    int next = 0;
    for (int p = 0; p < numPatterns; ++p)
        entries[p] = hasThreeOnesInARow (p) ? -1 : next++;
}
}

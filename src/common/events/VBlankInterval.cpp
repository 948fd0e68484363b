#include "common/events/VBlankInterval.h"

#include <cmath>

namespace zund
{
int VBlankInterval::blankAt (double ms) noexcept
{
    const int size = (int) times.size();
    times[(size_t) next] = ms;
    next = (next + 1) % size;
    if (count < size)
        ++count;
    if (count < size)
        return 0;

    const double oldest = times[(size_t) next]; // gapsAveraged blanks ago
    const double mean = (ms - oldest) / gapsAveraged;
    const double whole = std::round (mean);
    return whole >= 1.0 && std::abs (mean - whole) < 0.3 ? (int) whole : 0;
}
}

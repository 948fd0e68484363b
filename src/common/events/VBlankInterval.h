#pragma once

#include <array>

namespace zund
{
/** The period of a display's vertical blanks, in whole milliseconds, told by
    the times they arrive: the mean over the last 16 gaps, when it lies close
    to a whole number (a stall or a busy stretch makes it land between, and
    then no period is claimed). 0 while unknown. */
class VBlankInterval
{
public:
    /** One blank arrived at this time; returns the period now known, or 0. */
    int blankAt (double ms) noexcept;

private:
    static constexpr int gapsAveraged = 16;
    std::array<double, gapsAveraged + 1> times {};
    int count = 0, next = 0;
};
}

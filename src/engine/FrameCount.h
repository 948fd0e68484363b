#pragma once

#include <juce_core/juce_core.h>

#include <cmath>

namespace zund
{
/** A track position truncated to whole frames; 0 for NaN or a runaway value. */
inline juce::int64 truncateFrames (double position) noexcept
{
    constexpr double limit = 9.0e18;
    if (! (std::abs (position) < limit))
        return 0;
    return (juce::int64) position;
}
}

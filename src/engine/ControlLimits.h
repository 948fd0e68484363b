#pragma once

#include <algorithm>
#include <cmath>

namespace zund
{
/** Ranges of the numbers that the Engine's setters accept: a controller, a
    file or a bug can hand over anything, and a NaN or an overflow that reaches
    a filter or a smoother stays there for good. */
namespace controlLimits
{
constexpr float maxGainDb = 24.0f;        // channel, main and phones gain; the knobs reach +9 dB
constexpr double minTempo = 1.0;          // BPM of the effects and the play head
constexpr double maxTempo = 1000.0;
constexpr double maxZeroLockPercent = 100.0;
constexpr double minBeats = 1.0 / 64.0;   // the effect's LFO length; a loop may be 0 beats (its shortest)
constexpr double maxBeats = 64.0;         // the effect's LFO and the loop length

/** False for NaN, which the setter then ignores (the last good value stays);
    anything else, infinities included, is held within lo..hi. */
template <typename T>
bool acceptWithin (T& value, T lo, T hi) noexcept
{
    if (std::isnan (value))
        return false;
    value = std::clamp (value, lo, hi);
    return true;
}
}
}

#pragma once

#include <cmath>

namespace zund::dsp
{
/** Adds and removes a tiny offset so that a decaying recursive value falls to
    exactly 0 instead of lingering as a slow denormal. */
inline float killDenormal (float x) noexcept
{
    x += 1.0e-18f;
    return x - 1.0e-18f;
}

/** Share of the way a filter's smoothed knob moves towards its target at each
    coefficient update. */
constexpr float knobGlide = 0.001f;

/** Moves value knobGlide of the way towards target. */
inline void glideTowards (float& value, float target) noexcept
{
    value = killDenormal (value + (target - value) * knobGlide);
}

/** The per-sample coefficient that moves a smoothed value 90 % of the way to its
    target in `seconds`: 1 - 0.1^(1 / (seconds x rate)). */
inline double smoothingCoefficient (double seconds, double sampleRate) noexcept
{
    return 1.0 - std::pow (0.1, 1.0 / (seconds * sampleRate));
}

/** Limits v to lo..hi; NaN becomes lo, so a bad value can never reach a filter. */
template <typename T>
inline T limitValue (T v, T lo, T hi) noexcept
{
    if (! (v >= lo))
        return lo;
    return v > hi ? hi : v;
}

/** Device rates below 1 Hz (or NaN) mean "not known yet": use 44,100. */
inline double validSampleRate (double rate) noexcept
{
    return rate >= 1.0 ? rate : 44100.0;
}

/** Highest centre or corner frequency of a filter designed at the device rate
    (shelves, peaks, band splitters): well below Nyquist, so that no setting at
    any rate folds the design past it into an unstable or singular section. */
inline double maxDesignFrequency (double sampleRate) noexcept
{
    return 0.45 * sampleRate;
}

/** Linear interpolation into a small table at a position of 0..size-1; positions
    outside the table take its end points. */
inline float interpolateTable (const float* table, int size, float position) noexcept
{
    if (! (position > 0.0f))
        return table[0];
    if (position >= (float) (size - 1))
        return table[size - 1];
    const int i = (int) position;
    const float f = position - (float) i;
    return (1.0f - f) * table[i] + f * table[i + 1];
}
}

#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zund
{
/** Converts two 32-bit integer sample buffers to float in place (full scale maps to -1..1).
    The buffers are reinterpreted: afterwards they hold float bit patterns. */
void convertIntSamplesToFloat (int* left, int* right, int numSamples) noexcept;

/** A sample from outside the program (a float track, a hosted plug-in) made safe
    for the recursive filters after it, where a NaN or an overflow would stay for
    good: non-finite values become silence, anything beyond +-1000 (+60 dB) is
    held there. */
inline float tamedSample (float x) noexcept
{
    constexpr float loudest = 1000.0f;
    return std::isfinite (x) ? std::clamp (x, -loudest, loudest) : 0.0f;
}

/** tamedSample over two buffers that hold float bit patterns (a float track as read). */
void tameFloatSamples (int* left, int* right, int numSamples) noexcept;

/** One sample of a buffer that convertIntSamplesToFloat has converted. */
inline float convertedSampleAt (const int* samples, int index) noexcept
{
    float f;
    std::memcpy (&f, samples + index, sizeof (float));
    return f;
}
}

#pragma once

#include <cstring>

namespace zund
{
/** Converts two 32-bit integer sample buffers to float in place (full scale maps to -1..1).
    The buffers are reinterpreted: afterwards they hold float bit patterns. */
void convertIntSamplesToFloat (int* left, int* right, int numSamples) noexcept;

/** One sample of a buffer that convertIntSamplesToFloat has converted. */
inline float convertedSampleAt (const int* samples, int index) noexcept
{
    float f;
    std::memcpy (&f, samples + index, sizeof (float));
    return f;
}
}

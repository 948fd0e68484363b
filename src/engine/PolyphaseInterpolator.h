#pragma once

#include <cstdint>

namespace zund
{
/** Stereo 4x upsampler: a 32-tap low-pass applied to the zero-stuffed input,
    computed by scattering each input sample into two 256-value rings. Each
    input sample completes four output samples; the delay is 15.5 output
    samples. */
class PolyphaseInterpolator
{
public:
    static constexpr int factor = 4;
    static constexpr int numTaps = 32;

    /** Symmetric, summing to 1; each of the four phases sums to about 1/4. */
    static const float taps[numTaps];

    PolyphaseInterpolator() noexcept;

    void reset() noexcept;

    /** Takes one input pair and writes the `factor` output pairs that it completes. */
    void process (float left, float right, float* leftOut, float* rightOut) noexcept;

private:
    static constexpr int ringSize = 256;

    float ringLeft[ringSize];
    float ringRight[ringSize];
    std::uint8_t writeIndex = 0; // wraps at ringSize
};
}

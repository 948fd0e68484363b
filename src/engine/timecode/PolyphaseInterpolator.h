#pragma once

namespace zund
{
/** Stereo 4x upsampler: a 32-tap low-pass applied to the zero-stuffed input.
    Each input sample completes four output samples, each a sum over the last
    eight inputs with one phase of the taps; the delay is 15.5 output
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
    static constexpr int span = numTaps / factor; // inputs that reach one output

    // Each input is written twice, so the last `span` always lie in a row.
    float historyLeft[2 * span];
    float historyRight[2 * span];
    int newest = 0;
    int silentInputs = 0; // zero inputs in a row, counted up to span
};
}

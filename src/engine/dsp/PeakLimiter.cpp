#include "engine/dsp/PeakLimiter.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

namespace zund
{
namespace
{
inline float finiteOrSilence (float x) noexcept
{
    return std::isfinite (x) ? x : 0.0f;
}
}

PeakLimiter::PeakLimiter()
    : attack (std::pow (0.01, 1.0 / 44.1)),   // 99 % of a rise in 44.1 samples
      release (std::pow (0.01, 1.0 / 441.0))  // 99 % of a fall in 441 samples
{
}

void PeakLimiter::process (float* left, float* right, int numSamples) noexcept
{
    if (left == nullptr || right == nullptr || numSamples < 1)
        return;

    juce::ScopedNoDenormals noDenormals;

    for (int i = 0; i < numSamples; ++i)
    {
        const float l = finiteOrSilence (left[i]);
        const float r = finiteOrSilence (right[i]);

        float peak = std::fmax (std::fabs (l), std::fabs (r));
        if (peak < 1.0f)
            peak = 1.0f;

        if (++holdCounter >= holdLength || peak > heldPeak)
        {
            heldPeak = peak;
            holdCounter = 0;
        }

        const double coefficient = heldPeak > envelope ? attack : release;
        envelope = heldPeak + (envelope - heldPeak) * coefficient;
        const double gain = 1.0 / envelope;

        const int readIndex = (writeIndex - holdLength) & ringMask;
        const float delayedLeft = ringLeft[readIndex];
        const float delayedRight = ringRight[readIndex];
        ringLeft[writeIndex] = l;
        ringRight[writeIndex] = r;
        writeIndex = (writeIndex + 1) & ringMask;

        left[i] = juce::jlimit (-1.0f, 1.0f, (float) (delayedLeft * gain));
        right[i] = juce::jlimit (-1.0f, 1.0f, (float) (delayedRight * gain));
    }
}
}

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

// Below full scale, and finite: NaN and infinities fail the comparison.
bool isQuiet (const float* left, const float* right, int numSamples) noexcept
{
    bool quiet = true;
    for (int i = 0; i < numSamples; ++i)
        quiet = quiet && std::fabs (left[i]) < 1.0f && std::fabs (right[i]) < 1.0f;
    return quiet;
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

    // At rest (the envelope exactly at full scale) a quiet block leaves the
    // envelope where it is and the gain at exactly 1: only the delay and the
    // clip remain, and the hold counter runs on.
    if (heldPeak == 1.0f && envelope == 1.0 && isQuiet (left, right, numSamples))
    {
        for (int i = 0; i < numSamples; ++i)
        {
            const int readIndex = (writeIndex - holdLength) & ringMask;
            const float delayedLeft = ringLeft[readIndex];
            const float delayedRight = ringRight[readIndex];
            ringLeft[writeIndex] = left[i];
            ringRight[writeIndex] = right[i];
            writeIndex = (writeIndex + 1) & ringMask;
            left[i] = juce::jlimit (-1.0f, 1.0f, delayedLeft);
            right[i] = juce::jlimit (-1.0f, 1.0f, delayedRight);
        }
        holdCounter = (holdCounter + numSamples) % holdLength;
        return;
    }

    for (int i = 0; i < numSamples; ++i)
    {
        const float l = finiteOrSilence (left[i]);
        const float r = finiteOrSilence (right[i]);

        // Both finite and not negative: the larger without a library call.
        const float peakLeft = std::fabs (l), peakRight = std::fabs (r);
        float peak = peakLeft > peakRight ? peakLeft : peakRight;
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

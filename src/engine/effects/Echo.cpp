#include "engine/effects/Echo.h"

#include "engine/dsp/DspHelpers.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

namespace zund
{
Echo::Echo()
    : lineLeft (new float[lineSize]()),
      lineRight (new float[lineSize]())
{
}

void Echo::setBeatLength (double beats) noexcept
{
    FXBaseClass::setBeatLength (beats);
    setDepth (depth); // the echo time follows the new period
}

void Echo::setDepth (float newDepth) noexcept
{
    depth = dsp::limitValue (newDepth, 0.0f, 1.0f);
    const double share = depth < 0.5f ? 0.5 * depth : (depth - 0.5) * 1.5 + 0.25;
    double samples = std::floor (lfoPeriod * share);
    const double shortest = std::floor (0.001 * sampleRate);
    if (samples < shortest)
        samples = shortest;
    // Every line index is taken modulo the line length, so a longer echo wraps
    // around it; folding it here keeps the float exact and the index cast defined.
    targetDelay = (float) std::fmod (samples, (double) lineSize);
    crossfadeStep = -1.0f / (0.001f * sampleRate);
}

void Echo::process (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    for (int i = 0; i < numSamples; ++i)
    {
        tick();

        float wet, dry;
        if (level < 0.7f)
        {
            dry = 1.0f;
            wet = level * 1.4285714285714286f;
        }
        else
        {
            wet = 1.0f;
            dry = 1.0f - (level - 0.7f) * 3.3333333333333335f;
        }

        crossfadeGain += crossfadeStep;
        if (crossfadeGain < 0.0f)
        {
            crossfadeGain = 0.0f;
            currentDelay = targetDelay;
            crossfadeStep = -crossfadeStep;
        }
        else if (crossfadeGain > 1.0f)
        {
            crossfadeGain = 1.0f;
            crossfadeStep = 0.0f;
        }

        const float delay = currentDelay + 2.0f;
        const int whole = (int) delay;
        const float fraction = delay - (float) whole;
        const float oneMinusFraction = 1.0f - fraction;
        const int readIndex = (writeIndex - whole) & lineMask;
        const int previousIndex = (readIndex - 1) & lineMask;

        const float delayedLeft = (oneMinusFraction * lineLeft[readIndex] + fraction * lineLeft[previousIndex]) * crossfadeGain;
        const float delayedRight = (oneMinusFraction * lineRight[readIndex] + fraction * lineRight[previousIndex]) * crossfadeGain;

        lineLeft[writeIndex] = dsp::killDenormal (delayedLeft * feedback + left[i]);
        lineRight[writeIndex] = dsp::killDenormal (delayedRight * feedback + right[i]);
        left[i] = delayedLeft * wet + left[i] * dry;
        right[i] = delayedRight * wet + right[i] * dry;
        writeIndex = (writeIndex + 1) & lineMask;
    }
}
}

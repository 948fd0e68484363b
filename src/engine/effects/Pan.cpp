#include "engine/effects/Pan.h"

#include "engine/dsp/DspHelpers.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace zund
{
void Pan::setDepth (float newDepth) noexcept
{
    depth = dsp::limitValue (newDepth, 0.0f, 1.0f);
    lfoFactor = depth < 0.5f ? 0.5 * depth : (1.0 + 16.0 * (depth - 0.5)) * 0.25;
    updateLfoRate();
}

void Pan::process (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    for (int i = 0; i < numSamples; ++i)
    {
        tick();
        if (! active)
            continue;

        left[i] *= level * lfo1 + (1.0f - level);
        right[i] *= level * (1.0f - lfo1) + (1.0f - level);
    }
}
}

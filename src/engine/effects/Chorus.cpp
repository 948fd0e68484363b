#include "engine/effects/Chorus.h"

#include "engine/dsp/DspHelpers.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace zund
{
namespace
{
constexpr int tableSize = 13;
constexpr float dryTable[tableSize] = { 1, 1, 1, 1, 1, 1, 0.9f, 0.8f, 0.75f, 0.65f, 0.55f, 0.55f, 0.55f };
constexpr float wetTable[tableSize] = { 0, 0.05f, 0.15f, 0.25f, 0.4f, 0.65f, 0.875f, 1, 1, 1, 1, 1, 1 };
constexpr float feedbackTable[tableSize] = { 0, 0, 0, 0, 0, 0, 0, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.5f };
}

Chorus::Chorus()
    : lineLeft (new float[lineSize]()),
      lineRight (new float[lineSize]())
{
    depth = 5.0f; // the Engine hands over its own depth at once
}

void Chorus::process (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;
    const float sweep = (1.0f + 5.0f * depth) * 0.001f * sampleRate;

    for (int i = 0; i < numSamples; ++i)
    {
        tick();
        if (! active)
            continue;

        const float position = level * 11.0f;
        const float dry = dsp::interpolateTable (dryTable, tableSize, position);
        const float wet = dsp::interpolateTable (wetTable, tableSize, position);
        const float feedback = dsp::interpolateTable (feedbackTable, tableSize, position);

        const float delay = sweep * lfo1 + 2.0f;
        const int whole = (int) delay;
        const float fraction = delay - (float) whole;
        const int newer = (writeIndex - whole) & lineMask;
        const int older = (newer - 1) & lineMask;

        const float delayedLeft = (1.0f - fraction) * lineLeft[newer] + fraction * lineLeft[older];
        const float delayedRight = (1.0f - fraction) * lineRight[newer] + fraction * lineRight[older];

        lineLeft[writeIndex] = delayedLeft * feedback + left[i];
        lineRight[writeIndex] = delayedRight * feedback + right[i];
        left[i] = delayedLeft * wet + left[i] * dry;
        right[i] = delayedRight * wet + right[i] * dry;
        writeIndex = (writeIndex + 1) & lineMask;
    }
}
}

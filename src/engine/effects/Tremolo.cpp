#include "engine/effects/Tremolo.h"

#include "engine/dsp/DspHelpers.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace zund
{
namespace
{
constexpr int floorTableSize = 12;
constexpr float floorTable[floorTableSize] = { 1, 0.92f, 0.74f, 0.44f, 0.25f, 0.03f, 0.02f, 0.01f, 0.005f, 0.0025f, 0, 0 };
// Each gate edge takes 3 ms.
constexpr float rampPerSecond = 333.33334f;
}

void Tremolo::process (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    for (int i = 0; i < numSamples; ++i)
    {
        tick();
        if (! active)
            continue;

        const float floor = dsp::interpolateTable (floorTable, floorTableSize, level * 10.0f);

        const double p = lfoPhase;
        if (previousPhase >= 0.5 && p < 0.5)
            gateRamp = rampPerSecond / sampleRate; // a new period begins
        else if (previousPhase < 0.5 && p >= 0.5)
            gateRamp = -rampPerSecond / sampleRate;

        gate += gateRamp;
        if (gate < 0.0f)
        {
            gate = 0.0f;
            gateRamp = 0.0f;
        }
        else if (gate > 1.0f)
        {
            gate = 1.0f;
            gateRamp = 0.0f;
        }

        const float gain = (1.0f - floor) * gate + floor;
        left[i] *= gain;
        right[i] *= gain;
        previousPhase = p;
    }
}
}

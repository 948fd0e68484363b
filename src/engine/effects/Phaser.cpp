#include "engine/effects/Phaser.h"

#include "engine/dsp/DspHelpers.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace zund
{
float Phaser::polySin (float x) noexcept
{
    return ((((((-53.789474f - 1.508e-07f * x) * x + 134.47368f) * x - 96.294136f) * x + 9.967519f) * x
             + 5.6325345f) * x + 0.0049357587f);
}

float Phaser::polyCos (float x) noexcept
{
    return ((((((59.938705f * x - 179.81612f) * x + 163.50117f) * x - 27.308832f) * x - 16.141893f) * x
             - 0.17304468f) * x + 1.0f);
}

void Phaser::updateCoefficients() noexcept
{
    const float x = dsp::limitValue (lfo2 * sweepRange * depth + sweepMinimum, 0.00001f, 0.49f);
    const float s = polySin (x);
    const float c = polyCos (x);
    k0 = (1.0f - s) / (1.0f + s);
    k1 = -2.0f * c / (1.0f + s);
}

float Phaser::processChannel (Stage* stages, float& lastOutput, float input, float feedback) noexcept
{
    float v = input + feedback * lastOutput;
    for (int n = numStages - 1; n >= 0; --n)
    {
        auto& s = stages[n];
        // An all-pass section: the coefficient of the oldest input is 1.
        const float y = dsp::killDenormal (k0 * (v - s.y2) + k1 * (s.u1 - s.y1) + s.u2);
        s.u2 = s.u1;
        s.u1 = v;
        s.y2 = s.y1;
        s.y1 = y;
        v = y;
    }
    lastOutput = v;
    return v;
}

void Phaser::process (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    for (int i = 0; i < numSamples; ++i)
    {
        tick();
        if (! active)
            continue;

        float wet, dry, feedback;
        if (level <= 0.5f)
        {
            feedback = 0.5f;
            const float g = 0.66f * level + 1.0f;
            wet = g * level;
            dry = (1.0f - level) * g;
        }
        else
        {
            wet = dry = 0.665f;
            feedback = (level - 0.5f + 1.0f) * 0.5f;
        }

        if (updateCounter == 0)
            updateCoefficients();
        updateCounter = (updateCounter + 1) & 7;

        left[i] = processChannel (stagesLeft, lastOutputLeft, left[i], feedback) * wet + left[i] * dry;
        right[i] = processChannel (stagesRight, lastOutputRight, right[i], feedback) * wet + right[i] * dry;
    }
}
}

#include "engine/effects/AutoFilter.h"

#include "engine/dsp/DspHelpers.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

namespace zund
{
void AutoFilter::updateCoefficients() noexcept
{
    const float v = 1.0f - depth * lfo1;
    // Capping the cutoff at half the device rate holds the tangent argument at
    // pi/4 or less, so low device rates cannot fold it past pi/2.
    const float fc = std::fmin (std::exp2 (10.0f * v) * 20.532f, 0.5f * sampleRate);
    const float t = std::tan (fc / sampleRate * 1.5707964f);
    const float t2 = t * t;
    const float boostDb = std::fmax (0.0f, (std::fmax (0.0f, 10.0f * t - 2.0f) - 8.0f) * 6.025f);
    const float damp = std::pow (10.0f, -0.05f * boostDb) * 1.4142135f * t;
    const float n = 1.0f / (t2 + damp + 1.0f);
    b0 = b2 = t2 * n;
    b1 = 2.0f * t2 * n;
    a1 = (2.0f * t2 - 2.0f) * n;
    a2 = (1.0f - damp + t2) * n;
}

float AutoFilter::filterSample (ChannelState& s, float x) noexcept
{
    const float y = dsp::killDenormal (b0 * x + b1 * s.x1 + b2 * s.x2 - a1 * s.y1 - a2 * s.y2);
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
}

void AutoFilter::process (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    for (int i = 0; i < numSamples; ++i)
    {
        tick();
        if (! active)
            continue;

        if (updateCounter == 0)
            updateCoefficients();
        updateCounter = (updateCounter + 1) & 3;

        left[i] = filterSample (channels[0], left[i]);
        right[i] = filterSample (channels[1], right[i]);
    }
}
}

#include "engine/dsp/StateVariableFilter.h"

#include "engine/dsp/DspHelpers.h"

#include <algorithm>
#include <cmath>

namespace zund
{
namespace
{
constexpr auto relaxed = std::memory_order_relaxed;
// The highest resonance the knob reaches (knob 1 x 0.6); above it the damping
// would approach 0 and the filter would ring without end.
constexpr float maxResonanceProduct = 0.6f;
}

void StateVariableFilter::setFrequency (float knob) noexcept
{
    // Values outside 0..1 are allowed (the cutoff limits catch them); NaN is not.
    frequencyTarget.store (std::isfinite (knob) ? knob : 1.0f, relaxed);
}

void StateVariableFilter::setResonance (float knob) noexcept
{
    resonanceTarget.store (dsp::limitValue (knob, 0.0f, 1.0f) * 0.6f, relaxed);
}

void StateVariableFilter::setSampleRate (float rate) noexcept
{
    sampleRate = (float) dsp::validSampleRate (rate);
}

void StateVariableFilter::update() noexcept
{
    dsp::glideTowards (smoothedFrequency, frequencyTarget.load (relaxed));
    dsp::glideTowards (smoothedResonance, resonanceTarget.load (relaxed));
    dsp::glideTowards (smoothedLowLevel, lowPassLevel.load (relaxed));
    dsp::glideTowards (smoothedHighLevel, highPassLevel.load (relaxed));
    dsp::glideTowards (smoothedBandLevel, bandPassLevel.load (relaxed));

    const float fc = dsp::limitValue (20.0f * std::exp2 (10.0f * smoothedFrequency), 10.0f, 22000.0f);
    // Capping x at 0.25 keeps f at or below sqrt 2 at any rate, so the
    // oversampled loop stays stable; at low rates the top of the knob saturates.
    const float x = std::min (fc / (2.0f * sampleRate), 0.25f);
    f = 2.0f * std::sin (3.1415f * x);

    const float dampingLimit = std::min (2.0f / f - f / 2.0f, 2.0f);
    const float product = dsp::limitValue (smoothedResonance * smoothedFrequency, 0.0f, maxResonanceProduct);
    damping = std::min (2.0f * (1.0f - std::pow (product, 0.25f)), dampingLimit);
}

float StateVariableFilter::filterSample (ChannelState& s, float x) noexcept
{
    float sum = 0.0f;
    for (int pass = 0; pass < 2; ++pass)
    {
        s.notch = x - damping * s.band;
        s.low = s.low + f * s.band;
        s.high = s.notch - s.low;
        s.band = dsp::killDenormal (s.band + f * s.high);
        sum += s.low * smoothedLowLevel + s.high * smoothedHighLevel + s.band * smoothedBandLevel;
    }
    return 0.5f * sum;
}

void StateVariableFilter::process (float* left, float* right) noexcept
{
    if (updateCounter == 0)
        update();
    updateCounter = (updateCounter + 1) & 3;

    *left = filterSample (channels[0], *left);
    *right = filterSample (channels[1], *right);
}
}

#include "engine/dsp/SweepFilter.h"

#include "engine/dsp/DspHelpers.h"

#include <cmath>

namespace zund
{
namespace
{
constexpr auto relaxed = std::memory_order_relaxed;
constexpr float deadZoneLow = 0.47f;
constexpr float deadZoneHigh = 0.53f;
constexpr float deadZoneSlope = 33.3333f;
}

void SweepFilter::setFrequency (float knob) noexcept
{
    frequencyTarget.store (dsp::limitValue (knob, 0.0f, 1.0f), relaxed);
}

void SweepFilter::setResonance (float knob) noexcept
{
    resonanceTarget.store (dsp::limitValue (knob, 0.0f, 1.0f), relaxed);
}

void SweepFilter::setSampleRate (float rate) noexcept
{
    sampleRate = (float) dsp::validSampleRate (rate);
}

void SweepFilter::update() noexcept
{
    dsp::glideTowards (smoothedFrequency, frequencyTarget.load (relaxed));
    dsp::glideTowards (smoothedResonance, resonanceTarget.load (relaxed));
    const float frequency = smoothedFrequency;
    const float resonance = smoothedResonance;

    // The glides settle on their targets exactly: a knob at rest needs no new design.
    if (frequency == designedFrequency && resonance == designedResonance && sampleRate == designedRate)
        return;
    designedFrequency = frequency;
    designedResonance = resonance;
    designedRate = sampleRate;

    const bool nowLowPass = frequency < 0.5f;
    if (nowLowPass != lowPass)
    {
        // The other design's memory would click through the new one.
        channels[0] = {};
        channels[1] = {};
        lowPass = nowLowPass;
    }

    const float k = lowPass ? 2.0f * frequency : 2.0f * (frequency - 0.5f);
    const float octaves = std::exp2 (10.0f * k);
    // The design runs at twice the device rate; keeping the cutoff at or below
    // half the device rate holds the tangent argument at pi/4 or less at any rate.
    const float fc = std::fmin (octaves * 21.52f, 0.5f * sampleRate);
    const float t = std::tan (0.785375f * fc / (0.5f * sampleRate));
    const float t2 = t * t;
    const float damp = std::pow (10.0f, -0.75f * resonance * k) * 1.4142135f * t;
    const float n = 1.0f / (t2 + damp + 1.0f);

    if (lowPass)
    {
        b0 = b2 = t2 * n;
        b1 = 2.0f * t2 * n;
        a1 = (2.0f * t2 - 2.0f) * n;
        a2 = (1.0f - damp + t2) * n;
    }
    else
    {
        const float ratio = octaves / 1024.0f;
        float g = ratio * ratio * 10.0f * (1.0f - resonance * 0.5f) + 1.0f;
        if (frequency > 0.9f)
        {
            const float fade = 1.0f - (frequency - 0.9f) * 10.0f;
            g *= fade * fade;
        }
        b0 = b2 = g * n;
        b1 = -2.0f * g * n;
        a1 = (2.0f * t2 - 2.0f) * n;
        a2 = (t2 - damp + 1.0f) * n;
    }

    if (frequency >= deadZoneLow && frequency <= deadZoneHigh)
    {
        wet = frequency < 0.5f ? 1.0f - (frequency - deadZoneLow) * deadZoneSlope
                               : (frequency - 0.5f) * deadZoneSlope;
        dry = 1.0f - wet;
    }
    else
    {
        wet = 1.0f;
        dry = 0.0f;
    }
}

float SweepFilter::filterSample (ChannelState& s, float x) noexcept
{
    const float first = dsp::killDenormal (b0 * x + b1 * s.x1 + b2 * s.x2 - a1 * s.y1 - a2 * s.y2);
    s.y2 = s.y1;
    s.y1 = first;
    const float second = dsp::killDenormal (b0 * x + b1 * x + b2 * s.x1 - a1 * s.y1 - a2 * s.y2);
    s.y2 = s.y1;
    s.y1 = second;
    s.x1 = s.x2 = x;
    return x * dry + 0.5f * (first + second) * wet;
}

void SweepFilter::process (float* left, float* right) noexcept
{
    if (updateCounter == 0)
        update();
    updateCounter = (updateCounter + 1) & 3;

    *left = filterSample (channels[0], *left);
    *right = filterSample (channels[1], *right);
}
}

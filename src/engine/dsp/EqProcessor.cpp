#include "engine/dsp/EqProcessor.h"

#include "engine/dsp/DspHelpers.h"

#include <cmath>

namespace zund
{
namespace
{
constexpr double twoPi = 6.2831855;
constexpr double lowestFrequency = 10.0;
// Far beyond anything the knobs or kills ask for; keeps the design finite.
constexpr double gainLimitDb = 120.0;
constexpr float maxBandGain = 1000.0f;

struct Design
{
    double cosW, sinW, a;
};

Design prepare (double frequency, double gainDb, double sampleRate) noexcept
{
    frequency = dsp::limitValue (frequency, lowestFrequency, dsp::maxDesignFrequency (sampleRate));
    gainDb = dsp::limitValue (gainDb, -gainLimitDb, gainLimitDb);
    const double w = twoPi * frequency / sampleRate;
    return { std::cos (w), std::sin (w), std::pow (10.0, gainDb / 40.0) };
}

float sanitisedGainDb (float db) noexcept
{
    return std::isfinite (db) ? db : 0.0f;
}
}

EqProcessor::EqProcessor()
{
    setSampleRate (44100.0f);
}

void EqProcessor::setSampleRate (float rate) noexcept
{
    sampleRate = (float) dsp::validSampleRate (rate);
    designAll();
    for (auto& splitter : splitters)
    {
        splitter.setSampleRate (sampleRate);
        splitter.update();
    }
    gainSmoothing = (float) dsp::smoothingCoefficient (0.01, sampleRate);
}

void EqProcessor::setMode (int newMode) noexcept
{
    mode = newMode == 1 ? 1 : 0;
}

void EqProcessor::setLowGain (float db) noexcept
{
    lowShelfGainDb = sanitisedGainDb (db);
    designLowShelf();
}

void EqProcessor::setMidGain (float db) noexcept
{
    midPeakGainDb = sanitisedGainDb (db);
    designMidPeak();
}

void EqProcessor::setHighGain (float db) noexcept
{
    highShelfGainDb = sanitisedGainDb (db);
    designHighShelf();
}

void EqProcessor::setMidFrequency (float hz) noexcept
{
    if (std::isfinite (hz))
        midPeakFrequency = hz;
    designMidPeak();
}

void EqProcessor::setLowKill (bool kill) noexcept
{
    kills[low] = kill;
    designLowShelf();
}

void EqProcessor::setMidKill (bool kill) noexcept
{
    kills[mid] = kill;
    designMidPeak();
}

void EqProcessor::setHighKill (bool kill) noexcept
{
    kills[high] = kill;
    designHighShelf();
}

void EqProcessor::setLowBandGain (float gain) noexcept { bandGainTargets[low] = dsp::limitValue (gain, 0.0f, maxBandGain); }
void EqProcessor::setMidBandGain (float gain) noexcept { bandGainTargets[mid] = dsp::limitValue (gain, 0.0f, maxBandGain); }
void EqProcessor::setHighBandGain (float gain) noexcept { bandGainTargets[high] = dsp::limitValue (gain, 0.0f, maxBandGain); }

void EqProcessor::designAll() noexcept
{
    designLowShelf();
    designMidPeak();
    designHighShelf();
}

void EqProcessor::designLowShelf() noexcept
{
    designShelf (low, lowShelfFrequency, lowShelfQ, kills[low] ? lowKillDepthDb : lowShelfGainDb, 1.0);
}

void EqProcessor::designMidPeak() noexcept
{
    const auto d = prepare (midPeakFrequency, kills[mid] ? midKillDepthDb : midPeakGainDb, sampleRate);
    // The frequency cap keeps sin w positive, so a0 never reaches zero.
    const double s = d.sinW, a = d.a;
    const double a0 = 1.0 + s / a;

    auto& c = coefficients[mid];
    c.b0 = (float) ((1.0 + s * a) / a0);
    c.b1 = c.a1 = (float) (-2.0 * d.cosW / a0);
    c.b2 = (float) ((1.0 - s * a) / a0);
    c.a2 = (float) ((1.0 - s / a) / a0);
}

void EqProcessor::designHighShelf() noexcept
{
    designShelf (high, highShelfFrequency, highShelfQ, kills[high] ? highKillDepthDb : highShelfGainDb, -1.0);
}

void EqProcessor::designShelf (Band band, float frequency, float q, float gainDb, double sign) noexcept
{
    const auto d = prepare (frequency, gainDb, sampleRate);
    // The high shelf is the low one with cos w and the odd coefficients negated;
    // negating is exact, so both keep the rounding of their own formulas.
    const double cosW = sign * d.cosW;
    const double a = d.a, sqrtA = std::sqrt (a);
    const double alpha = d.sinW / (2.0 * q);
    const double a0 = (a + 1.0) + (a - 1.0) * cosW + 2.0 * sqrtA * alpha;

    auto& c = coefficients[band];
    c.b0 = (float) (a * ((a + 1.0) - (a - 1.0) * cosW + 2.0 * sqrtA * alpha) / a0);
    c.b1 = (float) (sign * 2.0 * a * ((a - 1.0) - (a + 1.0) * cosW) / a0);
    c.b2 = (float) (a * ((a + 1.0) - (a - 1.0) * cosW - 2.0 * sqrtA * alpha) / a0);
    c.a1 = (float) (sign * -2.0 * ((a - 1.0) + (a + 1.0) * cosW) / a0);
    c.a2 = (float) (((a + 1.0) + (a - 1.0) * cosW - 2.0 * sqrtA * alpha) / a0);
}

float EqProcessor::shelvingSample (SectionState* sectionStates, float x) noexcept
{
    for (int band = 0; band < numBands; ++band)
    {
        const auto& c = coefficients[band];
        auto& s = sectionStates[band];
        const float y = dsp::killDenormal (c.b0 * x + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2);
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = y;
        x = y;
    }
    return x;
}

void EqProcessor::glideBandGains() noexcept
{
    for (int band = 0; band < numBands; ++band)
    {
        float& g = bandGains[band];
        if (kills[band])
            g *= 1.0f - gainSmoothing;
        else
            g += (bandGainTargets[band] - g) * gainSmoothing;
        g = dsp::killDenormal (g);
    }
}

void EqProcessor::process (float* left, float* right) noexcept
{
    if (mode == 1)
    {
        glideBandGains();
        *left = splitters[0].process (*left, bandGains[low], bandGains[mid], bandGains[high]);
        *right = splitters[1].process (*right, bandGains[low], bandGains[mid], bandGains[high]);
    }
    else
    {
        *left = shelvingSample (states[0], *left);
        *right = shelvingSample (states[1], *right);
    }
}
}

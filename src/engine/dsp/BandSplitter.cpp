#include "engine/dsp/BandSplitter.h"

#include "engine/dsp/DspHelpers.h"

#include <cmath>

namespace zund
{
namespace
{
// The band splitter's own, smaller guard: its stages sit near DC for the low band.
inline float killSplitterDenormal (float x) noexcept
{
    x += 1.0e-24f;
    return x - 1.0e-24f;
}
}

float FourthOrderSection::Stage::process (float x) noexcept
{
    const float y = killSplitterDenormal (b0 * x + b1 * x1 + b2 * x2 + c1 * y1 + c2 * y2);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

float FourthOrderSection::process (float x) noexcept
{
    return stages[1].process (stages[0].process (x));
}

void FourthOrderSection::designLowPass (double frequency, double slope, double sampleRate) noexcept
{
    design (frequency, slope, sampleRate, true);
}

void FourthOrderSection::designHighPass (double frequency, double slope, double sampleRate) noexcept
{
    design (frequency, slope, sampleRate, false);
}

void FourthOrderSection::design (double frequency, double slope, double sampleRate, bool lowPass) noexcept
{
    sampleRate = dsp::validSampleRate (sampleRate);
    frequency = dsp::limitValue (frequency, 1.0, dsp::maxDesignFrequency (sampleRate));

    const double k = 1.2 * (1.0 - slope);
    const double t = std::tan ((2.0 * frequency / sampleRate) * 1.5707964);
    const double t2 = t * t;
    // The two damping factors of a fourth-order Butterworth filter.
    const double dampings[2] = { k * 0.765367 * t, k * 1.847759 * t };

    for (int i = 0; i < 2; ++i)
    {
        const double d = dampings[i];
        const double n = 1.0 / (t2 + d + 1.0);
        auto& s = stages[i];
        if (lowPass)
        {
            s.b0 = s.b2 = (float) (t2 * n);
            s.b1 = (float) (2.0 * t2 * n);
        }
        else
        {
            s.b0 = s.b2 = (float) n;
            s.b1 = (float) (-2.0 * n);
        }
        s.c1 = (float) (-(2.0 * t2 - 2.0) * n);
        s.c2 = (float) (-(t2 - d + 1.0) * n);
    }
}

BandSplitter::BandSplitter()
{
    update();
}

void BandSplitter::setSampleRate (float rate) noexcept
{
    sampleRate = (float) dsp::validSampleRate (rate);
}

void BandSplitter::update() noexcept
{
    lowBandLowPass.designLowPass (ratio * lowSplitFrequency, s1, sampleRate);
    midBandHighPass.designHighPass (lowSplitFrequency, s2, sampleRate);
    midBandLowPass.designLowPass (highSplitFrequency, s2, sampleRate);
    highBandHighPass.designHighPass (highSplitFrequency / ratio, s3, sampleRate);
}

float BandSplitter::process (float x, float lowGain, float midGain, float highGain) noexcept
{
    const float low = lowBandLowPass.process (x);
    const float mid = midBandLowPass.process (midBandHighPass.process (x));
    const float high = highBandHighPass.process (x);
    return high * highGain + low * lowGain + mid * midGain;
}
}

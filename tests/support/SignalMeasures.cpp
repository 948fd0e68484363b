#include "support/SignalMeasures.h"

#include <juce_core/juce_core.h>

#include <cmath>

namespace zund::test
{
std::vector<float> sineBuffer (double frequency, double sampleRate, int numSamples, float amplitude)
{
    std::vector<float> out ((size_t) numSamples);
    const double step = 2.0 * juce::MathConstants<double>::pi * frequency / sampleRate;
    for (int i = 0; i < numSamples; ++i)
        out[(size_t) i] = amplitude * (float) std::sin (step * i);
    return out;
}

std::vector<float> noiseBuffer (int numSamples, float amplitude, int seed)
{
    juce::Random random (seed);
    std::vector<float> out ((size_t) numSamples);
    for (auto& v : out)
        v = amplitude * (2.0f * random.nextFloat() - 1.0f);
    return out;
}

double rmsOf (const float* data, int numSamples)
{
    if (numSamples < 1)
        return 0.0;
    double sum = 0.0;
    for (int i = 0; i < numSamples; ++i)
        sum += (double) data[i] * data[i];
    return std::sqrt (sum / numSamples);
}

float peakOf (const float* data, int numSamples)
{
    float peak = 0.0f;
    for (int i = 0; i < numSamples; ++i)
        peak = std::fmax (peak, std::fabs (data[i]));
    return peak;
}

bool allFinite (const float* data, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
        if (! std::isfinite (data[i]))
            return false;
    return true;
}

double toneAmplitude (const float* data, int numSamples, double frequency, double sampleRate)
{
    const double pi = juce::MathConstants<double>::pi;
    const double step = 2.0 * pi * frequency / sampleRate;
    double re = 0.0, im = 0.0, windowSum = 0.0;
    for (int i = 0; i < numSamples; ++i)
    {
        const double w = 0.5 - 0.5 * std::cos (2.0 * pi * i / numSamples);
        re += w * data[i] * std::cos (step * i);
        im -= w * data[i] * std::sin (step * i);
        windowSum += w;
    }
    return 2.0 * std::sqrt (re * re + im * im) / windowSum;
}

double decibels (double ratio)
{
    return ratio > 0.0 ? 20.0 * std::log10 (ratio) : -400.0;
}
}

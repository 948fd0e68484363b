#include "support/SignalScan.h"

#include <juce_core/juce_core.h>

#include <cmath>

namespace zund::test
{
double zeroCrossingFrequency (const float* data, int numSamples, double sampleRate)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (int i = 1; i < numSamples; ++i)
    {
        if (data[i - 1] < 0.0f && data[i] >= 0.0f)
        {
            const double at = (i - 1) + data[i - 1] / (double) (data[i - 1] - data[i]);
            if (crossings == 0)
                first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / (last - first);
}

std::vector<SampleRun> findZeroRuns (const float* data, int numSamples, int minLength)
{
    std::vector<SampleRun> runs;
    int start = -1;
    for (int i = 0; i <= numSamples; ++i)
    {
        const bool zero = i < numSamples && data[i] == 0.0f;
        if (zero && start < 0)
            start = i;
        if (! zero && start >= 0)
        {
            if (i - start >= minLength)
                runs.push_back ({ start, i - start });
            start = -1;
        }
    }
    return runs;
}

std::vector<int> findJumps (const float* data, int numSamples, float maxStep)
{
    std::vector<int> jumps;
    for (int i = 1; i < numSamples; ++i)
        if (std::fabs (data[i] - data[i - 1]) > maxStep)
            jumps.push_back (i);
    return jumps;
}

float largestSineStep (double frequency, float amplitude, double sampleRate)
{
    return 2.0f * amplitude * (float) std::sin (juce::MathConstants<double>::pi * frequency / sampleRate);
}
}

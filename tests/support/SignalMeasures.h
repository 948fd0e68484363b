#pragma once

#include <cstddef>
#include <vector>

namespace zund::test
{
/** numSamples of a sine starting at phase 0. */
std::vector<float> sineBuffer (double frequency, double sampleRate, int numSamples, float amplitude);

/** Uniform white noise in -amplitude..amplitude, repeatable for a given seed. */
std::vector<float> noiseBuffer (int numSamples, float amplitude, int seed = 1);

double rmsOf (const float* data, int numSamples);
float peakOf (const float* data, int numSamples);
bool allFinite (const float* data, int numSamples);

/** Amplitude of the component at `frequency` (Hann-windowed single-bin DFT);
    a sine of amplitude a measures close to a. */
double toneAmplitude (const float* data, int numSamples, double frequency, double sampleRate);

/** 20 log10 (ratio); -400 for silence. */
double decibels (double ratio);

/** Runs a one-sample-pair processor (process (float*, float*)) over both buffers in place. */
template <typename Processor>
void processEachSample (Processor& processor, std::vector<float>& left, std::vector<float>& right)
{
    for (std::size_t i = 0; i < left.size() && i < right.size(); ++i)
        processor.process (&left[i], &right[i]);
}
}

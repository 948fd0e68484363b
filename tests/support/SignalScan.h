#pragma once

#include <vector>

namespace zund::test
{
/** Frequency of a clean periodic signal from its rising zero crossings
    (interpolated between samples); 0 with fewer than two crossings. */
double zeroCrossingFrequency (const float* data, int numSamples, double sampleRate);

struct SampleRun
{
    int start = 0, length = 0;
};

/** Runs of at least minLength samples that are exactly 0: a gap in the
    audio, as a stalled stage or a lost block leaves it. */
std::vector<SampleRun> findZeroRuns (const float* data, int numSamples, int minLength);

/** Indexes i where the signal moves by more than maxStep from sample i - 1:
    clicks and splices in a signal that should be smooth. */
std::vector<int> findJumps (const float* data, int numSamples, float maxStep);

/** The largest step between two samples of a sine of this frequency and
    amplitude, the natural limit for findJumps. */
float largestSineStep (double frequency, float amplitude, double sampleRate);
}

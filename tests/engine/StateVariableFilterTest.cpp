#include "engine/dsp/StateVariableFilter.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zund;
using namespace zund::test;

namespace
{
// Long enough for every glide (0.001 per four samples) to settle.
constexpr int settleSamples = 200000;

// Band-pass response of a settled filter at one frequency: the band-pass output
// peaks at the cutoff.
double bandPassGain (float knob, double rate, double frequency, float resonance = 0.0f)
{
    StateVariableFilter filter;
    filter.setSampleRate ((float) rate);
    filter.lowPassLevel = 0.0f;
    filter.bandPassLevel = 1.0f;
    filter.setFrequency (knob);
    filter.setResonance (resonance);

    auto warmLeft = noiseBuffer (settleSamples, 0.1f), warmRight = warmLeft;
    processEachSample (filter, warmLeft, warmRight);

    const int n = (int) rate;
    auto left = sineBuffer (frequency, rate, n, 0.5f), right = left;
    processEachSample (filter, left, right);
    return toneAmplitude (left.data() + n / 2, n / 2, frequency, rate) / 0.5;
}
}

TEST (StateVariableFilter, FreshFilterFadesInThenPassesWideOpen)
{
    StateVariableFilter filter;
    const int n = 100000;
    auto left = sineBuffer (1000.0, 44100.0, n, 0.5f), right = left;
    processEachSample (filter, left, right);

    // Starts from silence...
    EXPECT_LT (peakOf (left.data(), 64), 0.01f);
    // ...is about halfway after a few thousand samples...
    const double early = toneAmplitude (left.data() + 2000, 2048, 1000.0, 44100.0);
    EXPECT_GT (early, 0.1);
    EXPECT_LT (early, 0.4);
    // ...and then passes 1 kHz at full level on both sides.
    EXPECT_NEAR (toneAmplitude (left.data() + n - 8192, 8192, 1000.0, 44100.0), 0.5, 0.005);
    EXPECT_NEAR (toneAmplitude (right.data() + n - 8192, 8192, 1000.0, 44100.0), 0.5, 0.005);
}

TEST (StateVariableFilter, KnobEndsGive20HzAnd20480Hz)
{
    // Knob 0: the band-pass peaks at 20 Hz.
    const double at20 = bandPassGain (0.0f, 44100.0, 20.0);
    EXPECT_GT (at20, bandPassGain (0.0f, 44100.0, 12.0));
    EXPECT_GT (at20, bandPassGain (0.0f, 44100.0, 32.0));

    // Knob 1: the resonant peak is at 20,480 Hz (measured at 96 kHz, clear of Nyquist).
    const double at20480 = bandPassGain (1.0f, 96000.0, 20480.0, 1.0f);
    EXPECT_GT (at20480, bandPassGain (1.0f, 96000.0, 18000.0, 1.0f));
    EXPECT_GT (at20480, bandPassGain (1.0f, 96000.0, 23000.0, 1.0f));
}

TEST (StateVariableFilter, NoiseStaysFiniteAtEveryExtremeAndRate)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (double rate : { 8000.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 })
        for (float frequency : { 0.0f, 0.5f, 1.0f, -3.0f, 7.0f, nan })
            for (float resonance : { 0.0f, 1.0f, 50.0f, -2.0f, nan })
            {
                StateVariableFilter filter;
                filter.setSampleRate ((float) rate);
                filter.lowPassLevel = 1.0f;
                filter.highPassLevel = 1.0f;
                filter.bandPassLevel = 1.0f;
                filter.setFrequency (frequency);
                filter.setResonance (resonance);

                auto left = noiseBuffer (60000, 1.0f, 7), right = noiseBuffer (60000, 1.0f, 8);
                processEachSample (filter, left, right);
                ASSERT_TRUE (allFinite (left.data(), 60000) && allFinite (right.data(), 60000))
                    << rate << " Hz, knob " << frequency << ", resonance " << resonance;
                EXPECT_LT (peakOf (left.data(), 60000), 50.0f) << rate << " " << frequency << " " << resonance;
            }
}

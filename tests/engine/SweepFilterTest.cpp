#include "engine/dsp/SweepFilter.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr int settleSamples = 200000;

void settle (SweepFilter& filter)
{
    auto left = noiseBuffer (settleSamples, 0.1f), right = left;
    processEachSample (filter, left, right);
}

// Gain in dB of a filter settled at the knob, for a tone at the frequency.
double gainDb (float knob, double frequency, double rate = 44100.0, float resonance = 0.0f)
{
    SweepFilter filter;
    filter.setSampleRate ((float) rate);
    filter.setFrequency (knob);
    filter.setResonance (resonance);
    settle (filter);

    const int n = 32768;
    auto left = sineBuffer (frequency, rate, n, 0.5f), right = left;
    processEachSample (filter, left, right);
    return decibels (toneAmplitude (left.data() + n / 2, n / 2, frequency, rate) / 0.5);
}
}

TEST (SweepFilter, MiddleOfTheKnobIsCloseToIdentity)
{
    SweepFilter filter;
    filter.setFrequency (0.5f);
    settle (filter);

    const int n = 44100;
    auto input = noiseBuffer (n, 0.5f, 3);
    auto left = input, right = input;
    processEachSample (filter, left, right);

    std::vector<float> difference ((size_t) n);
    for (int i = 0; i < n; ++i)
        difference[(size_t) i] = left[(size_t) i] - input[(size_t) i];
    EXPECT_LT (decibels (rmsOf (difference.data(), n) / rmsOf (input.data(), n)), -40.0);
}

TEST (SweepFilter, FullyWetJustOutsideTheDeadZone)
{
    // A dry part would let these tones through at about 0 dB.
    EXPECT_LT (gainDb (0.47f, 21000.0), -3.0);  // low-pass at about 14.5 kHz
    EXPECT_LT (gainDb (0.53f, 8.0), -20.0);     // high-pass at about 33 Hz
    // Inside their pass bands they pass.
    EXPECT_NEAR (gainDb (0.47f, 1000.0), 0.0, 0.5);
    EXPECT_NEAR (gainDb (0.53f, 5000.0), 0.0, 0.5);
}

TEST (SweepFilter, LowAndHighHalvesMoveTheCutoff)
{
    // Low-pass at knob 0.25: 2^5 x 21.52 = 689 Hz.
    EXPECT_NEAR (gainDb (0.25f, 100.0), 0.0, 0.5);
    EXPECT_LT (gainDb (0.25f, 7000.0), -35.0);
    // High-pass at knob 0.75: 689 Hz, with its small gain lift.
    EXPECT_LT (gainDb (0.75f, 70.0), -30.0);
    EXPECT_NEAR (gainDb (0.75f, 7000.0), 0.0, 1.0);
}

TEST (SweepFilter, HighPassAtTheRightEndIsSilent)
{
    EXPECT_LT (gainDb (1.0f, 15000.0), -80.0);
    EXPECT_LT (gainDb (1.0f, 15000.0, 48000.0, 1.0f), -80.0);
}

TEST (SweepFilter, NoiseStaysFiniteAtEveryExtremeAndRate)
{
    for (double rate : { 8000.0, 11025.0, 16000.0, 22050.0, 44100.0, 48000.0, 96000.0 })
        for (float knob : { 0.0f, 0.2f, 0.4999f, 0.5f, 0.5001f, 0.95f, 1.0f, 4.0f })
            for (float resonance : { 0.0f, 1.0f, 30.0f })
            {
                SweepFilter filter;
                filter.setSampleRate ((float) rate);
                filter.setFrequency (knob);
                filter.setResonance (resonance);

                auto left = noiseBuffer (60000, 1.0f, 5), right = noiseBuffer (60000, 1.0f, 6);
                processEachSample (filter, left, right);
                ASSERT_TRUE (allFinite (left.data(), 60000) && allFinite (right.data(), 60000))
                    << rate << " Hz, knob " << knob << ", resonance " << resonance;
                EXPECT_LT (peakOf (left.data(), 60000), 50.0f) << rate << " " << knob << " " << resonance;
            }
}

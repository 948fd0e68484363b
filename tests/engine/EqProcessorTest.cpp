#include "engine/dsp/EqProcessor.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace zund;
using namespace zund::test;

namespace
{
// Gain in dB of the EQ for a steady tone (measured after the first half second).
double gainDb (EqProcessor& eq, double frequency, double rate = 44100.0)
{
    const int n = (int) rate;
    auto left = sineBuffer (frequency, rate, n, 0.25f), right = left;
    processEachSample (eq, left, right);
    return decibels (toneAmplitude (left.data() + n / 2, n / 2, frequency, rate) / 0.25);
}

// The level of a 1 kHz tone over windows of 1 ms from the moment `change` is
// applied, in dB.
std::vector<double> levelAfter (EqProcessor& eq, const std::function<void()>& change)
{
    const int ms = 44;
    auto warm = sineBuffer (1000.0, 44100.0, 44100, 0.5f), warmRight = warm;
    processEachSample (eq, warm, warmRight);
    change();
    auto left = sineBuffer (1000.0, 44100.0, 100 * ms, 0.5f), right = left;
    processEachSample (eq, left, right);

    std::vector<double> levels;
    for (int w = 0; w < 100; ++w)
        levels.push_back (decibels (peakOf (left.data() + w * ms, ms) / 0.5));
    return levels;
}
}

TEST (EqProcessor, ShelvesHaveTheirCornersAndSlopes)
{
    // A fresh EQ (no rate given: 44.1 kHz) passes everything at 0 dB, and so
    // does the band split away from its splits.
    EqProcessor flat, split;
    split.setSampleRate (48000.0f);
    split.setMode (1);
    for (double f : { 40.0, 1000.0, 12000.0 })
    {
        EXPECT_NEAR (gainDb (flat, f), 0.0, 0.05) << f;
        EXPECT_NEAR (gainDb (split, f, 48000.0), 0.0, 0.3) << f;
    }

    // The low shelf at 80 Hz with Q 0.6 and the high shelf at 6.4 kHz with Q 0.5:
    // half the gain at the corner, the slope around it set by Q.
    const struct
    {
        float lowGain, highGain;
        double frequency, expected;
    } cases[] = {
        { 12.0f, 0.0f, 20.0, 11.646 },     { 12.0f, 0.0f, 40.0, 10.326 },     { 12.0f, 0.0f, 80.0, 6.0 },
        { 12.0f, 0.0f, 160.0, 1.674 },     { 12.0f, 0.0f, 320.0, 0.354 },     { -12.0f, 0.0f, 80.0, -6.0 },
        { 0.0f, -12.0f, 1600.0, -0.662 },  { 0.0f, -12.0f, 3200.0, -2.283 },  { 0.0f, -12.0f, 6400.0, -6.0 },
        { 0.0f, -12.0f, 12800.0, -10.409 }, { 0.0f, -12.0f, 18000.0, -11.732 }, { 0.0f, 12.0f, 6400.0, 6.0 },
    };
    for (const auto& c : cases)
    {
        EqProcessor eq;
        eq.setLowGain (c.lowGain);
        eq.setHighGain (c.highGain);
        EXPECT_NEAR (gainDb (eq, c.frequency), c.expected, 0.1) << c.lowGain << " / " << c.highGain << " dB at "
                                                                << c.frequency << " Hz";
    }
}

TEST (EqProcessor, MidPeakFollowsItsFrequency)
{
    EqProcessor eq;
    eq.setMidGain (12.0f);
    EXPECT_NEAR (gainDb (eq, 1000.0), 12.0, 0.3);
    eq.setMidFrequency (4000.0f);
    EXPECT_NEAR (gainDb (eq, 4000.0), 12.0, 0.3);
    EXPECT_LT (gainDb (eq, 300.0), 6.0);
}

TEST (EqProcessor, ShelvingKillsCutToTheirDepthsAndRestoreTheGain)
{
    EqProcessor eq;
    eq.setLowGain (6.0f);
    eq.setLowKill (true);
    EXPECT_NEAR (gainDb (eq, 20.0), -30.0, 2.0);
    eq.setLowGain (9.0f); // moved while killed
    EXPECT_NEAR (gainDb (eq, 20.0), -30.0, 2.0);
    eq.setLowKill (false);
    EXPECT_NEAR (gainDb (eq, 20.0), 9.0, 0.5);

    eq.setMidKill (true);
    EXPECT_NEAR (gainDb (eq, 1000.0), -30.0, 0.5);
    eq.setMidFrequency (2500.0f); // keeps the depth
    EXPECT_NEAR (gainDb (eq, 2500.0), -30.0, 0.5);
    eq.setMidKill (false);
    EXPECT_NEAR (gainDb (eq, 2500.0), 0.0, 0.3);

    eq.setHighKill (true);
    EXPECT_LT (gainDb (eq, 18000.0), -45.0);
    eq.setHighKill (false);
    EXPECT_NEAR (gainDb (eq, 18000.0), 0.0, 0.3);
}

TEST (EqProcessor, BandSplitKillFadesOutAndBackInWithinAbout10ms)
{
    EqProcessor eq;
    eq.setMode (1);
    const double whole = levelAfter (eq, [] {})[60]; // the band sum is within 0.2 dB of unity here
    EXPECT_NEAR (whole, 0.0, 0.2);

    auto out = levelAfter (eq, [&] { eq.setMidKill (true); });
    EXPECT_GT (out[1], whole - 6.0);    // a fade, not a cut
    EXPECT_LT (out[11], whole - 15.0);  // 90 % gone after 10 ms
    EXPECT_LT (out[60], whole - 40.0);  // only the neighbouring bands' skirts are left

    auto back = levelAfter (eq, [&] { eq.setMidKill (false); });
    EXPECT_LT (back[1], whole - 6.0);
    EXPECT_GT (back[11], whole - 2.0);
    EXPECT_NEAR (back[60], whole, 0.01);

    // With every band killed, nothing is left.
    auto all = levelAfter (eq, [&] { eq.setLowKill (true); eq.setMidKill (true); eq.setHighKill (true); });
    EXPECT_LT (all[60], -100.0);
}

TEST (EqProcessor, BandSplitGainsGlideToTheirTargets)
{
    EqProcessor eq;
    eq.setMode (1);
    const double whole = levelAfter (eq, [] {})[60];
    auto half = levelAfter (eq, [&] { eq.setMidBandGain (0.5f); });
    EXPECT_LT (half[1], whole - 0.5);
    EXPECT_GT (half[1], whole - 5.0);
    EXPECT_NEAR (half[60], whole - 6.0, 0.3);

    // Switching modes keeps the settings: back to shelving, the tone is whole again.
    eq.setMode (0);
    auto shelving = levelAfter (eq, [] {});
    EXPECT_NEAR (shelving[60], 0.0, 0.05);
}

TEST (EqProcessor, AnySettingAtAnyRateStaysFinite)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (double rate : { 8000.0, 11025.0, 22050.0, 44100.0, 96000.0, 192000.0 })
        for (float db : { -12.0f, 12.0f, 200.0f, -500.0f, nan })
            for (int mode : { 0, 1 })
            {
                EqProcessor eq;
                eq.setSampleRate ((float) rate);
                eq.setMode (mode);
                eq.setMidFrequency (10000.0f); // beyond Nyquist at the low rates
                eq.setLowGain (db);
                eq.setMidGain (db);
                eq.setHighGain (db);
                eq.setMidKill (true);
                eq.setLowBandGain (db);

                auto left = noiseBuffer (20000, 1.0f, 9), right = noiseBuffer (20000, 1.0f, 10);
                processEachSample (eq, left, right);
                ASSERT_TRUE (allFinite (left.data(), 20000) && allFinite (right.data(), 20000))
                    << rate << " Hz, " << db << " dB, mode " << mode;
            }
}

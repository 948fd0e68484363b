#include "engine/effects/AutoFilter.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

namespace
{
// Level in dB of a tone through the filter over 20 ms windows across one LFO period.
std::vector<double> sweptLevels (double frequency, float depth, double rate = 44100.0)
{
    AutoFilter filter;
    filter.setSampleRate (rate);
    filter.setTempo (120.0);
    filter.setBeatLength (1.0); // a 2 s period
    filter.setDepth (depth);
    filter.setMix (1.0f);
    filter.setOn (true);

    const int n = (int) (2.0 * rate), window = (int) (0.02 * rate);
    auto left = sineBuffer (frequency, rate, n, 0.5f), right = left;
    filter.process (left.data(), right.data(), n);

    std::vector<double> levels;
    for (int start = 0; start + window <= n; start += window)
        levels.push_back (decibels (toneAmplitude (left.data() + start, window, frequency, rate) / 0.5));
    return levels;
}
}

TEST (AutoFilter, TheLfoSweepsTheCutoffDownByTheDepth)
{
    // Depth 1: open at the start of the period, closed to about 20 Hz half way.
    const auto swept = sweptLevels (1000.0, 1.0f);
    EXPECT_NEAR (swept[2], 0.0, 1.0);
    EXPECT_LT (swept[swept.size() / 2], -40.0);

    // Depth 0: stays open.
    for (double db : sweptLevels (1000.0, 0.0f))
        EXPECT_NEAR (db, 0.0, 1.0);
}

TEST (AutoFilter, LowDeviceRatesStayStable)
{
    for (double rate : { 8000.0, 11025.0, 16000.0, 22050.0 })
    {
        const auto levels = sweptLevels (500.0, 1.0f, rate);
        EXPECT_NEAR (levels[1], 0.0, 1.5) << rate;
        for (double db : levels)
            ASSERT_LT (db, 6.0) << rate;
    }
}

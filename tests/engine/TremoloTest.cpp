#include "engine/effects/Tremolo.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace zund;
using namespace zund::test;

namespace
{
// The gain of a settled tremolo over n samples from a fresh switch-on (DC input).
std::vector<float> gateShape (float mix, float depth, int n)
{
    Tremolo tremolo;
    tremolo.setTempo (120.0);
    tremolo.setBeatLength (1.0);
    tremolo.setDepth (depth);
    tremolo.setMix (mix);
    tremolo.setOn (true);
    std::vector<float> warm (44100, 0.0f), warmRight = warm;
    tremolo.process (warm.data(), warmRight.data(), 44100);

    tremolo.setOn (true); // phase 0 again
    std::vector<float> left ((size_t) n, 1.0f), right = left;
    tremolo.process (left.data(), right.data(), n);
    EXPECT_EQ (left, right);
    return left;
}
}

TEST (Tremolo, FullLevelGatesOnForTheFirstHalfWith3msEdges)
{
    // Depth 0.5: a quarter bar, 22,050 samples.
    const int period = 22050;
    const auto gain = gateShape (1.0f, 0.5f, 2 * period);

    // The off edge at half the period takes 3 ms (132 samples at 44.1 kHz).
    int rampStart = -1, rampEnd = -1;
    for (int i = period / 4; i < period; ++i)
    {
        if (rampStart < 0 && gain[(size_t) i] < 1.0f)
            rampStart = i;
        if (rampEnd < 0 && gain[(size_t) i] < 1.0e-5f)
            rampEnd = i;
    }
    EXPECT_NEAR (rampStart, period / 2, 2);
    EXPECT_NEAR (rampEnd - rampStart, 132, 2);

    EXPECT_FLOAT_EQ (gain[(size_t) period / 4], 1.0f);
    EXPECT_LT (gain[(size_t) (3 * period / 4)], 1.0e-5f);
    EXPECT_FLOAT_EQ (gain[(size_t) (5 * period / 4)], 1.0f); // on again in the next period
}

TEST (Tremolo, LowerLevelsLeaveAFloor)
{
    // Level 0.4 of 1: the off half keeps 0.25 of the sound.
    const auto gain = gateShape (0.4f, 0.5f, 22050);
    EXPECT_NEAR (gain[16000], 0.25f, 0.01f);
    EXPECT_FLOAT_EQ (gain[5000], 1.0f);
}

TEST (Tremolo, DepthZeroHoldsThePeriodAt10ms)
{
    const auto gain = gateShape (1.0f, 0.0f, 4410);
    // Periodic with 441 samples, and not with half of it.
    float sameAtPeriod = 0.0f, sameAtHalf = 0.0f;
    for (int i = 441; i + 441 < 4410; ++i)
    {
        sameAtPeriod = std::max (sameAtPeriod, std::fabs (gain[(size_t) i] - gain[(size_t) i + 441]));
        sameAtHalf = std::max (sameAtHalf, std::fabs (gain[(size_t) i] - gain[(size_t) i + 220]));
    }
    EXPECT_LT (sameAtPeriod, 0.02f);
    EXPECT_GT (sameAtHalf, 0.5f);
}

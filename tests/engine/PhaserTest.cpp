#include "engine/effects/Phaser.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>

using namespace zund;
using namespace zund::test;

TEST (Phaser, PolynomialSineAndCosineFollowTheRealOnes)
{
    // Over the whole clamped sweep range 0.00001..0.49 of a cycle.
    const double twoPi = 2.0 * 3.14159265358979;
    for (int i = 0; i <= 4900; ++i)
    {
        const float x = 0.00001f + (0.49f - 0.00001f) * (float) i / 4900.0f;
        ASSERT_NEAR (Phaser::polySin (x), std::sin (twoPi * x), 0.009) << x;
        ASSERT_NEAR (Phaser::polyCos (x), std::cos (twoPi * x), 0.003) << x;
        // What keeps every all-pass stage stable: s > 0 and |c| < 1.
        ASSERT_GT (Phaser::polySin (x), 0.0f) << x;
        ASSERT_LT (std::fabs (Phaser::polyCos (x)), 1.0f) << x;
    }
}

TEST (Phaser, CutsNotchesThatMoveWithTheLfo)
{
    Phaser phaser;
    phaser.setTempo (120.0);
    phaser.setBeatLength (2.0); // a slow sweep
    phaser.setDepth (1.0f);
    phaser.setMix (0.5f);      // dry and wet equal: deep notches
    phaser.setOn (true);

    const int n = 4 * 44100;
    auto left = sineBuffer (2000.0, 44100.0, n, 0.3f), right = left;
    phaser.process (left.data(), right.data(), n);
    ASSERT_TRUE (allFinite (left.data(), n));
    EXPECT_EQ (left, right);

    // The response at 2 kHz changes as the sweep passes: measured in 50 ms
    // windows it spans well over 10 dB.
    const int window = 2205;
    double lowest = 1e9, highest = -1e9;
    for (int start = 44100; start + window <= n; start += window)
    {
        const double db = decibels (toneAmplitude (left.data() + start, window, 2000.0, 44100.0));
        lowest = std::min (lowest, db);
        highest = std::max (highest, db);
    }
    EXPECT_GT (highest - lowest, 10.0);
}

#include "engine/timecode/PolyphaseInterpolator.h"

#include <gtest/gtest.h>

#include <juce_core/juce_core.h>

#include <cmath>

using namespace zund;

TEST (PolyphaseInterpolator, FillsInASineBetweenItsSamples)
{
    // 1 kHz at 44.1 kHz in, the same sine at 176.4 kHz out, 15.5 output samples late.
    PolyphaseInterpolator interpolator;
    const double step = 2.0 * juce::MathConstants<double>::pi * 1000.0 / 44100.0;
    const double delay = 15.5 / 4.0;

    double worst = 0.0, peak = 0.0;
    for (int n = 0; n < 4410; ++n)
    {
        float l[4], r[4];
        interpolator.process ((float) std::sin (step * n), (float) std::cos (step * n), l, r);
        if (n < 100)
            continue; // the ring is still filling
        for (int j = 0; j < 4; ++j)
        {
            const double t = n + j / 4.0 - delay;
            worst = std::max (worst, std::abs (l[j] - std::sin (step * t)));
            worst = std::max (worst, std::abs (r[j] - std::cos (step * t)));
            peak = std::max (peak, (double) std::abs (l[j]));
        }
    }
    EXPECT_LT (worst, 0.005);
    EXPECT_GT (peak, 0.99);
}

TEST (PolyphaseInterpolator, AnImpulseGivesTheTapsAndThenNothing)
{
    PolyphaseInterpolator interpolator;
    float l[4], r[4];
    for (int n = 0; n < 1000; ++n)
    {
        interpolator.process (n == 0 ? 1.0f : 0.0f, n == 0 ? -1.0f : 0.0f, l, r);
        for (int j = 0; j < 4; ++j)
        {
            const int k = 4 * n + j;
            const float expected = k < PolyphaseInterpolator::numTaps ? 4.0f * PolyphaseInterpolator::taps[k] : 0.0f;
            ASSERT_EQ (l[j], expected) << k;
            ASSERT_EQ (r[j], -expected) << k;
        }
    }
}

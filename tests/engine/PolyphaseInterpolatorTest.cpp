#include "engine/timecode/PolyphaseInterpolator.h"

#include <gtest/gtest.h>

#include <juce_core/juce_core.h>

#include <cmath>
#include <vector>

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

// Silence of any length before, between and after sounds: every output is the
// zero-stuffed input convolved with the taps, also right where a sound starts
// after a long silence (a deck without a signal is skipped over, not lost).
TEST (PolyphaseInterpolator, SilenceOfAnyLengthLeavesTheConvolutionExact)
{
    constexpr int f = PolyphaseInterpolator::factor, numTaps = PolyphaseInterpolator::numTaps;
    std::vector<float> input (3000, 0.0f);
    for (int n = 100; n < 103; ++n)
        input[(size_t) n] = 0.5f; // after a long silence
    input[106] = -0.25f;          // after a short one (shorter than the taps)
    for (int n = 2000; n < 2100; ++n)
        input[(size_t) n] = (float) std::sin (0.3 * n);
    input[2990] = 1.0f; // just before the end

    PolyphaseInterpolator interpolator;
    for (int n = 0; n < (int) input.size(); ++n)
    {
        float l[f], r[f];
        interpolator.process (input[(size_t) n], -input[(size_t) n], l, r);
        for (int j = 0; j < f; ++j)
        {
            // Output sample k = f n + j of the stuffed signal: inputs m with f m <= k, k - f m < numTaps.
            const int k = f * n + j;
            float expected = 0.0f;
            for (int m = n; m >= 0 && k - f * m < numTaps; --m)
                expected += input[(size_t) m] * (float) f * PolyphaseInterpolator::taps[k - f * m];
            ASSERT_NEAR (l[j], expected, 1.0e-6f) << "input " << n << ", phase " << j;
            ASSERT_NEAR (r[j], -expected, 1.0e-6f) << "input " << n << ", phase " << j;
        }
    }
}

// Each output is summed oldest input first, one product at a time, in float:
// the order the decoder's zero crossings were measured with. However the sums
// are computed, they must come out to the last bit as that order gives them.
TEST (PolyphaseInterpolator, SumsAreExactlyThoseOfTheOldestFirstOrder)
{
    constexpr int f = PolyphaseInterpolator::factor, numTaps = PolyphaseInterpolator::numTaps, span = numTaps / f;
    juce::Random random (11);
    std::vector<float> input (2000);
    for (auto& x : input)
        x = random.nextFloat() * 2.0f - 1.0f;

    PolyphaseInterpolator interpolator;
    int differing = 0;
    for (int n = 0; n < (int) input.size(); ++n)
    {
        float l[f], r[f];
        interpolator.process (input[(size_t) n], input[(size_t) n] * 0.5f, l, r);
        for (int j = 0; j < f; ++j)
        {
            float sumLeft = 0.0f, sumRight = 0.0f;
            for (int m = n - span + 1; m <= n; ++m) // oldest first
            {
                const float x = m >= 0 ? input[(size_t) m] : 0.0f;
                const float tap = PolyphaseInterpolator::taps[j + f * (n - m)] * (float) f;
                sumLeft += x * tap;
                sumRight += (x * 0.5f) * tap;
            }
            differing += (l[j] != sumLeft || r[j] != sumRight) ? 1 : 0;
        }
    }
    EXPECT_EQ (differing, 0) << "outputs that differ from the oldest-first sums";
}

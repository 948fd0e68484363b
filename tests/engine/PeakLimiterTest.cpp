#include "engine/dsp/PeakLimiter.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr int lookAhead = PeakLimiter::holdLength;

void run (PeakLimiter& limiter, std::vector<float>& left, std::vector<float>& right)
{
    limiter.process (left.data(), right.data(), (int) left.size());
}
}

TEST (PeakLimiter, InRangeSignalIsAnExact44SampleDelay)
{
    PeakLimiter limiter;
    const int n = 10000;
    const auto inLeft = noiseBuffer (n, 1.0f, 21), inRight = noiseBuffer (n, 1.0f, 22);
    auto left = inLeft, right = inRight;
    // In uneven blocks: the ring carries over.
    for (int start = 0, size = 1; start < n; start += size, size = size * 3 % 500 + 1)
        limiter.process (left.data() + start, right.data() + start, std::min (size, n - start));

    for (int i = 0; i < lookAhead; ++i)
        ASSERT_EQ (left[(size_t) i], 0.0f);
    for (int i = lookAhead; i < n; ++i)
    {
        ASSERT_EQ (left[(size_t) i], inLeft[(size_t) i - lookAhead]) << i;
        ASSERT_EQ (right[(size_t) i], inRight[(size_t) i - lookAhead]) << i;
    }
}

TEST (PeakLimiter, ASpikeIsBroughtDownToFullScale)
{
    PeakLimiter limiter;
    std::vector<float> left (400, 0.5f), right (400, 0.5f);
    left[100] = 2.0f;
    run (limiter, left, right);

    EXPECT_LE (left[100 + lookAhead], 1.0f);
    EXPECT_GT (left[100 + lookAhead], 0.99f);
    // Untouched until the spike is seen, then the gain comes down over the
    // look-ahead, on both sides.
    EXPECT_EQ (left[99], 0.5f);
    EXPECT_GT (left[100 + lookAhead - 40], 0.3f);
    EXPECT_LT (left[100 + lookAhead - 10], 0.3f);
    EXPECT_LT (right[100 + lookAhead], 0.26f);
}

TEST (PeakLimiter, SustainedOverloadNeverExceedsFullScaleAndRecovers)
{
    PeakLimiter limiter;
    const int loud = 44100, quiet = 44100;
    auto left = sineBuffer (100.0, 44100.0, loud + quiet, 4.0f), right = left;
    for (int i = loud; i < loud + quiet; ++i)
        left[(size_t) i] = right[(size_t) i] = left[(size_t) i] / 8.0f; // 0.5 after the loud part
    const auto input = left;
    run (limiter, left, right);

    EXPECT_LE (peakOf (left.data(), loud + quiet), 1.0f);
    // Loud, but limited rather than squashed.
    EXPECT_GT (peakOf (left.data() + loud / 2, 1000), 0.9f);
    // 100 ms after the loud part the gain is back to exactly 1.
    for (int i = loud + 4410; i < loud + quiet; ++i)
        ASSERT_EQ (left[(size_t) i], input[(size_t) i - lookAhead]) << i;
}

TEST (PeakLimiter, NonFiniteInputCountsAsSilence)
{
    PeakLimiter limiter;
    const int n = 2000;
    auto left = sineBuffer (440.0, 44100.0, n, 0.5f), right = left;
    const auto input = left;
    left[300] = std::numeric_limits<float>::quiet_NaN();
    right[301] = std::numeric_limits<float>::infinity();
    left[302] = -std::numeric_limits<float>::infinity();
    run (limiter, left, right);

    ASSERT_TRUE (allFinite (left.data(), n) && allFinite (right.data(), n));
    EXPECT_EQ (left[300 + lookAhead], 0.0f);
    EXPECT_EQ (right[301 + lookAhead], 0.0f);
    for (int i = 303 + lookAhead; i < n; ++i)
        ASSERT_EQ (left[(size_t) i], input[(size_t) i - lookAhead]) << i;
}

TEST (PeakLimiter, NullBuffersAndEmptyBlocksAreIgnored)
{
    PeakLimiter limiter;
    std::vector<float> left (100, 0.5f), right = left;
    limiter.process (nullptr, right.data(), 100);
    limiter.process (left.data(), nullptr, 100);
    limiter.process (left.data(), right.data(), 0);
    limiter.process (left.data(), right.data(), -5);
    EXPECT_EQ (left, std::vector<float> (100, 0.5f));

    // The ring did not move: the first 44 samples are still silence.
    run (limiter, left, right);
    EXPECT_EQ (left[lookAhead - 1], 0.0f);
    EXPECT_EQ (left[lookAhead], 0.5f);
}

namespace
{
/** The limiter as its description reads, one sample at a time: a 44-sample
    delay; the peak of both sides, at least full scale, held for 44 samples;
    an envelope following it (99 % of a rise in 44.1 samples, of a fall in
    441); the delayed samples divided by it and clipped. */
struct SampleBySampleLimiter
{
    const double attack = std::pow (0.01, 1.0 / 44.1), release = std::pow (0.01, 1.0 / 441.0);
    int holdCounter = 0;
    float heldPeak = 1.0f;
    double envelope = 1.0;
    std::vector<float> delayLeft = std::vector<float> (lookAhead), delayRight = std::vector<float> (lookAhead);
    size_t next = 0;

    void process (float& left, float& right)
    {
        const float l = std::isfinite (left) ? left : 0.0f, r = std::isfinite (right) ? right : 0.0f;
        const float peak = std::max ({ std::abs (l), std::abs (r), 1.0f });
        if (++holdCounter >= lookAhead || peak > heldPeak)
        {
            heldPeak = peak;
            holdCounter = 0;
        }
        envelope = heldPeak + (envelope - heldPeak) * (heldPeak > envelope ? attack : release);
        const double gain = 1.0 / envelope;
        left = juce::jlimit (-1.0f, 1.0f, (float) (delayLeft[next] * gain));
        right = juce::jlimit (-1.0f, 1.0f, (float) (delayRight[next] * gain));
        delayLeft[next] = l;
        delayRight[next] = r;
        next = (next + 1) % (size_t) lookAhead;
    }
};
}

// Long quiet stretches (where the envelope settles back on full scale), loud
// bursts, spikes right after a stretch, samples of exactly full scale and
// broken ones, in blocks of every size: each output sample is, to the last
// bit, what the sample-by-sample rule gives.
TEST (PeakLimiter, EveryBlockComesOutAsTheSampleBySampleRuleGivesIt)
{
    const int n = 60000;
    auto left = noiseBuffer (n, 0.9f, 31), right = noiseBuffer (n, 0.9f, 32);
    for (int i = 5000; i < 5300; ++i)
        left[(size_t) i] *= 3.0f;                 // a loud burst
    right[20000] = 2.5f;                          // a spike after a long quiet stretch
    left[30000] = 1.0f;                           // exactly full scale
    right[30001] = -1.0f;
    left[40000] = std::numeric_limits<float>::quiet_NaN();
    right[50000] = std::numeric_limits<float>::infinity();
    for (int i = 52000; i < 56000; ++i)
        left[(size_t) i] = right[(size_t) i] = 0.0f; // silence

    auto expectedLeft = left, expectedRight = right;
    SampleBySampleLimiter reference;
    for (int i = 0; i < n; ++i)
        reference.process (expectedLeft[(size_t) i], expectedRight[(size_t) i]);

    PeakLimiter limiter;
    for (int start = 0, size = 1; start < n; start += size, size = size * 7 % 700 + 1)
        limiter.process (left.data() + start, right.data() + start, std::min (size, n - start));

    int differing = 0, first = -1;
    for (int i = 0; i < n; ++i)
        if (left[(size_t) i] != expectedLeft[(size_t) i] || right[(size_t) i] != expectedRight[(size_t) i])
            if (differing++ == 0)
                first = i;
    EXPECT_EQ (differing, 0) << "samples that differ, the first at " << first;
}

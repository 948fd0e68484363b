#include "engine/effects/EffectFactory.h"
#include "engine/effects/Reverb.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

namespace
{
std::vector<float> impulseResponse (float mix, float roomSize, int n, std::vector<float>* rightOut = nullptr)
{
    Reverb reverb;
    reverb.setDepth (roomSize);
    reverb.setMix (mix);
    reverb.setOn (true);
    std::vector<float> silence (44100, 0.0f), silenceRight = silence;
    reverb.process (silence.data(), silenceRight.data(), 44100);

    std::vector<float> left ((size_t) n, 0.0f), right;
    left[0] = 1.0f;
    right = left;
    // One sample at a time, as the master bus calls it.
    for (int i = 0; i < n; ++i)
        reverb.process (left.data() + i, right.data() + i, 1);
    if (rightOut != nullptr)
        *rightOut = right;
    return left;
}
}

TEST (Reverb, LevelZeroPassesExactly)
{
    Reverb reverb;
    reverb.setDepth (1.0f);
    auto input = sineBuffer (700.0, 44100.0, 44100, 0.3f);
    for (auto& v : input)
        v += 0.35f;
    auto left = input, right = input;
    reverb.process (left.data(), right.data(), 44100);
    EXPECT_EQ (left, input);
    EXPECT_EQ (right, input);
}

TEST (Reverb, FullLevelIsTheTailAloneStartingAtTheShortestComb)
{
    std::vector<float> right;
    const auto left = impulseResponse (1.0f, 0.5f, 44100, &right);
    // No dry sound, nothing before the shortest comb (1116 samples on the left,
    // 1139 on the right), then a tail.
    EXPECT_LT (peakOf (left.data(), 1116), 1e-4f);
    EXPECT_GT (peakOf (left.data() + 1116, 4000), 0.001f);
    EXPECT_NE (left, right); // the two sides differ
    EXPECT_TRUE (allFinite (left.data(), 44100));
}

TEST (Reverb, HalfLevelKeepsTheDrySignalWhole)
{
    const auto left = impulseResponse (0.5f, 0.5f, 2000);
    EXPECT_NEAR (left[0], 1.0f, 1e-5);
    EXPECT_LT (peakOf (left.data() + 1, 1100), 1e-6f);
    EXPECT_GT (peakOf (left.data() + 1116, 800), 0.001f);
}

TEST (Reverb, ABiggerRoomRingsLonger)
{
    const int n = 3 * 44100;
    const auto small = impulseResponse (1.0f, 0.0f, n);
    const auto large = impulseResponse (1.0f, 1.0f, n);
    const int from = 44100;
    EXPECT_GT (decibels (rmsOf (large.data() + from, n - from) / rmsOf (small.data() + from, n - from)), 20.0);
    // Both decay.
    EXPECT_LT (rmsOf (large.data() + 2 * from, from), rmsOf (large.data() + 2000, from));
}

TEST (Reverb, AHandedOverDepthSetsTheRoomSize)
{
    // The room size follows the depth when it is set, not when processing, so
    // the hand-over from another effect must reach it too.
    auto tail = [] (FXBaseClass& fx)
    {
        fx.setMix (1.0f);
        fx.setOn (true);
        std::vector<float> left (2 * 44100, 0.0f);
        left[0] = 1.0f;
        auto right = left;
        fx.process (left.data(), right.data(), (int) left.size());
        return left;
    };

    Reverb direct;
    direct.setDepth (1.0f);
    Reverb atDefault;
    auto previous = createEffect (panEffect);
    previous->setDepth (1.0f);
    auto handedOver = createEffect (reverbEffect);
    handOverEffectState (*handedOver, *previous, 44100.0);

    const auto expected = tail (direct);
    EXPECT_EQ (tail (*handedOver), expected);
    EXPECT_GT (rmsOf (expected.data() + 44100, 44100), 2.0f * rmsOf (tail (atDefault).data() + 44100, 44100));
}

#include "EffectTesting.h"
#include "engine/effects/Echo.h"
#include "engine/effects/EffectFactory.h"
#include "engine/effects/Reverb.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace zund;
using namespace zund::test;

namespace
{
// A fully wet echo, settled (level up, delay faded in), at 44.1 kHz.
void prepare (Echo& echo, double tempo, float depth)
{
    switchOn (echo, depth, 1.0f, 1.0, tempo);
    through (echo, Buffer (4410, 0.0f));
}

// Positions of the impulse response's samples above the threshold.
std::vector<int> hits (Echo& echo, int numSamples, float threshold, Buffer* response = nullptr)
{
    Buffer right;
    const auto left = through (echo, impulse (numSamples), &right);
    EXPECT_EQ (left, right);
    std::vector<int> out;
    for (size_t i = 0; i < left.size(); ++i)
        if (std::fabs (left[i]) > threshold)
            out.push_back ((int) i);
    if (response != nullptr)
        *response = left;
    return out;
}

// Mean of the last 4096 samples of a constant input through the effect.
float settledLevel (FXBaseClass& fx, float input, int numSamples)
{
    const auto out = through (fx, Buffer ((size_t) numSamples, input));
    return std::accumulate (out.end() - 4096, out.end(), 0.0f) / 4096.0f;
}
}

TEST (Echo, RepeatsAtTheTargetDelayDecayingBy06AndDelayRepeatsOnce)
{
    // 120 BPM, one bar = 88,200 samples; depth 0.25 asks for an eighth of it,
    // plus the fixed 2-sample offset.
    Echo echo;
    prepare (echo, 120.0, 0.25f);
    ASSERT_EQ (echo.getTargetDelay(), 11025.0f);
    const int delay = 11025 + 2;
    Buffer response;
    EXPECT_EQ (hits (echo, 40000, 0.01f, &response), (std::vector<int> { delay, 2 * delay, 3 * delay }));
    EXPECT_NEAR (response[0], 0.0f, 1e-4); // fully wet: no dry sound
    EXPECT_NEAR (response[delay], 1.0f, 1e-5);
    EXPECT_NEAR (response[2 * delay], 0.6f, 1e-5);
    EXPECT_NEAR (response[3 * delay], 0.36f, 1e-5);

    Delay once;
    prepare (once, 120.0, 0.25f);
    EXPECT_EQ (hits (once, 40000, 1e-4f), (std::vector<int> { delay }));
}

TEST (Echo, TimeFollowsDepthAndBeatLengthFrom1msToALineWrap)
{
    Echo shortest;
    prepare (shortest, 120.0, 0.0f);
    EXPECT_EQ (hits (shortest, 100, 0.01f), (std::vector<int> { 46, 92 }));

    // 1 BPM, depth 1: one full 10,584,000-sample period, which is 98,240 modulo 2^20.
    Echo longest;
    prepare (longest, 1.0, 1.0f);
    EXPECT_EQ (hits (longest, 100000, 0.01f), (std::vector<int> { 98240 + 2 }));

    // Half a bar of beat length halves the echo.
    Echo halved;
    prepare (halved, 120.0, 0.25f);
    halved.setBeatLength (0.5);
    through (halved, Buffer (4410, 0.0f));
    EXPECT_EQ (hits (halved, 12000, 0.01f), (std::vector<int> { 5514, 11028 }));
}

TEST (Echo, ANewEchoTimeFadesInsteadOfJumping)
{
    Echo echo;
    prepare (echo, 120.0, 0.25f);
    const int n = 44100;
    auto left = sineBuffer (440.0, 44100.0, n, 0.5f), right = left;
    echo.process (left.data(), right.data(), n / 2);
    echo.setDepth (0.3f);
    echo.process (left.data() + n / 2, right.data() + n / 2, n / 2);

    // A jump between two delayed copies of the sine would step by up to about 2;
    // the 1 ms fades keep every step small.
    float largestStep = 0.0f;
    for (int i = n / 2 - 100; i < n / 2 + 500; ++i)
        largestStep = std::max (largestStep, std::fabs (left[(size_t) i + 1] - left[(size_t) i]));
    EXPECT_LT (largestStep, 0.15f);

    // Faded out about 1 ms after the change, back 1 ms later.
    EXPECT_LT (peakOf (left.data() + n / 2 + 42, 6), 0.05f);
    EXPECT_GT (peakOf (left.data() + n / 2 + 200, 100), 0.4f);
}

TEST (Echo, SwitchedOffItKeepsFillingAndPassesTheInput)
{
    Echo echo;
    prepare (echo, 120.0, 0.0f); // 46-sample echo
    echo.setOn (false);
    through (echo, Buffer (44100, 0.0f));

    // Off: the input passes as it is...
    auto input = sineBuffer (500.0, 44100.0, 200, 0.2f);
    for (auto& v : input)
        v += 0.4f;
    EXPECT_EQ (through (echo, input), input);

    // ...while the line keeps filling: switched on again, the echo of that
    // input is there at once.
    echo.setOn (true);
    EXPECT_GT (peakOf (through (echo, Buffer (4410, 0.0f)).data(), 100), 0.0f);
}

TEST (Reverb, LevelZeroPassesExactlyAndHalfLevelKeepsTheDrySignalWhole)
{
    Reverb off;
    off.setDepth (1.0f);
    auto input = sineBuffer (700.0, 44100.0, 44100, 0.3f);
    for (auto& v : input)
        v += 0.35f;
    Buffer right;
    EXPECT_EQ (through (off, input, &right), input);
    EXPECT_EQ (right, input);

    Reverb half;
    switchOn (half, 0.5f, 0.5f);
    settle (half);
    const auto left = through (half, impulse (2000));
    EXPECT_NEAR (left[0], 1.0f, 1e-5);
    EXPECT_LT (peakOf (left.data() + 1, 1100), 1e-6f);
    EXPECT_GT (peakOf (left.data() + 1116, 800), 0.001f);
}

TEST (Reverb, FirstArrivalShowsTheInputGainAndTheStereoWidth)
{
    // Fully wet, an impulse on both sides: 0.03 into every comb. The shortest
    // left comb (1116 samples) answers first, through four all-passes; its
    // echo reaches the left at (1 + width) / 2 x 2 and the right at (1 - width) / 2 x 2
    // with the width 0.3. The shortest right comb is 1139 samples long.
    Reverb reverb;
    switchOn (reverb, 0.5f, 1.0f);
    settle (reverb);
    Buffer right;
    const auto left = through (reverb, impulse (1200), &right);
    EXPECT_LT (std::abs (left[0]), 1e-4f); // no dry sound
    EXPECT_LT (peakOf (left.data() + 1, 1115), 1e-6f);
    EXPECT_LT (peakOf (right.data() + 1, 1115), 1e-6f);
    EXPECT_NEAR (left[1116], 0.03f * 1.3f, 1e-6f);
    EXPECT_NEAR (right[1116], 0.03f * 0.7f, 1e-6f);
    EXPECT_NEAR (left[1139], 0.03f * 0.7f, 1e-6f);
    EXPECT_NEAR (right[1139], 0.03f * 1.3f, 1e-6f);
}

TEST (Reverb, RoomSizeSetsTheCombFeedback)
{
    // A constant input settles where each comb gives 1 / (1 - feedback) and the
    // all-passes 1: fully wet, 0.5 on both sides gives 0.24 / (1 - feedback),
    // the feedback being 0.7 + 0.28 x the room size (the depth).
    for (float room : { 0.0f, 0.25f, 0.5f })
    {
        Reverb reverb;
        switchOn (reverb, room, 1.0f);
        EXPECT_NEAR (settledLevel (reverb, 0.5f, 131072), 0.24f / (0.3f - 0.28f * room), 1e-3f) << room;
    }

    // The room follows a depth handed over from another effect, too.
    auto previous = createEffect (panEffect);
    switchOn (*previous, 0.0f, 1.0f);
    auto handedOver = createEffect (reverbEffect);
    handOverEffectState (*handedOver, *previous, 44100.0);
    EXPECT_NEAR (settledLevel (*handedOver, 0.5f, 131072), 0.8f, 1e-3f);
}

#include "engine/effects/Echo.h"
#include "engine/effects/EffectFactory.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zund;
using namespace zund::test;

namespace
{
// A fully wet echo, settled (level up, delay faded in), at 44.1 kHz.
void prepare (Echo& echo, double tempo, float depth)
{
    echo.setTempo (tempo);
    echo.setBeatLength (1.0);
    echo.setDepth (depth);
    echo.setMix (1.0f);
    echo.setOn (true);
    std::vector<float> silence (4410, 0.0f), right = silence;
    echo.process (silence.data(), right.data(), 4410);
}

std::vector<float> impulseResponse (Echo& echo, int n)
{
    std::vector<float> left ((size_t) n, 0.0f), right;
    left[0] = 1.0f;
    right = left;
    echo.process (left.data(), right.data(), n);
    EXPECT_EQ (left, right);
    return left;
}

// Positions of the samples above the threshold.
std::vector<int> hits (const std::vector<float>& response, float threshold)
{
    std::vector<int> out;
    for (size_t i = 0; i < response.size(); ++i)
        if (std::fabs (response[i]) > threshold)
            out.push_back ((int) i);
    return out;
}
}

TEST (Echo, ImpulseRepeatsAtTheTargetDelayDecayingBy06)
{
    // 120 BPM, one bar = 88,200 samples; depth 0.25 asks for an eighth of it.
    Echo echo;
    prepare (echo, 120.0, 0.25f);
    ASSERT_EQ (echo.getTargetDelay(), 11025.0f);

    const auto response = impulseResponse (echo, 40000);
    const int delay = 11025 + 2; // the fixed 2-sample offset
    EXPECT_EQ (hits (response, 0.01f), (std::vector<int> { delay, 2 * delay, 3 * delay }));
    EXPECT_NEAR (response[0], 0.0f, 1e-4);   // fully wet: no dry sound
    EXPECT_NEAR (response[delay], 1.0f, 1e-5);
    EXPECT_NEAR (response[2 * delay], 0.6f, 1e-5);
    EXPECT_NEAR (response[3 * delay], 0.36f, 1e-5);
}

TEST (Echo, DelayRepeatsOnce)
{
    Delay delay;
    prepare (delay, 120.0, 0.25f);
    const auto response = impulseResponse (delay, 40000);
    EXPECT_EQ (hits (response, 1e-4f), (std::vector<int> { 11027 }));
}

TEST (Echo, ShortestEchoIs1msAndLongOnesWrapAroundTheLine)
{
    Echo shortest;
    prepare (shortest, 120.0, 0.0f);
    EXPECT_EQ (hits (impulseResponse (shortest, 100), 0.01f), (std::vector<int> { 46, 92 }));

    // 1 BPM, depth 1: one full 10,584,000-sample period, which is 98,240 modulo 2^20.
    Echo longest;
    prepare (longest, 1.0, 1.0f);
    const auto response = impulseResponse (longest, 100000);
    EXPECT_EQ (hits (response, 0.01f), (std::vector<int> { 98240 + 2 }));
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

TEST (Echo, BeatLengthChangesTheEchoTime)
{
    Echo echo;
    prepare (echo, 120.0, 0.25f);
    echo.setBeatLength (0.5);
    std::vector<float> settle (4410, 0.0f), right = settle;
    echo.process (settle.data(), right.data(), 4410);
    EXPECT_EQ (hits (impulseResponse (echo, 12000), 0.01f), (std::vector<int> { 5514, 11028 }));
}

TEST (Echo, SwitchedOffItKeepsFillingAndPassesTheInput)
{
    Echo echo;
    prepare (echo, 120.0, 0.0f); // 46-sample echo
    echo.setOn (false);
    std::vector<float> silence (44100, 0.0f), right = silence;
    echo.process (silence.data(), right.data(), 44100);

    // Off: the input passes as it is...
    auto input = sineBuffer (500.0, 44100.0, 200, 0.2f);
    for (auto& v : input)
        v += 0.4f;
    auto left = input, r = input;
    echo.process (left.data(), r.data(), 200);
    EXPECT_EQ (left, input);

    // ...while the line keeps filling: switched on again, the echo of that
    // input is there at once.
    echo.setOn (true);
    std::vector<float> after (4410, 0.0f), afterRight = after;
    echo.process (after.data(), afterRight.data(), 4410);
    EXPECT_GT (peakOf (after.data(), 100), 0.0f);
}

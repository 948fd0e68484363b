#include "EngineRig.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zund;
using test::EngineRig;

namespace
{
constexpr double pi = 3.14159265358979323846;

EngineRig::InputSignal sine (double frequency, float amplitude)
{
    return [=] (juce::int64 sample, int) {
        return amplitude * (float) std::sin (2.0 * pi * frequency * (double) sample / 44100.0);
    };
}

// Largest difference between the output and gain x the input `lag` samples earlier.
float worstError (const std::vector<float>& out, const EngineRig::InputSignal& input, float gain, int lag,
                  size_t begin, size_t end)
{
    float worst = 0.0f;
    for (size_t i = begin; i < end; ++i)
        worst = std::max (worst, std::abs (out[i] - gain * input ((juce::int64) i - lag, 0)));
    return worst;
}

void playThruOnChannel0 (EngineRig& rig, EngineRig::InputSignal input)
{
    rig.input = std::move (input);
    rig->setDeckInput (0, 0);
    rig->setThru (0, true);
}
}

TEST (EngineLimiter, PairSharedByTwoBusesIsLimitedOnce)
{
    // The main bus and channel 0's own output both land on device pair 0.
    EngineRig rig (2, 2);
    playThruOnChannel0 (rig, sine (700.0, 0.3f));
    rig->setMainOutput (0);
    rig->setChannelOutput (0, 0);
    const auto out = rig.run (4410)[0];

    // One limiter's delay, not two: the sum arrives exactly 44 samples late.
    EXPECT_LT (worstError (out, rig.input, 2.0f, test::limiterDelay, 2000, 4410), 0.02f);
    EXPECT_GT (worstError (out, rig.input, 2.0f, 2 * test::limiterDelay, 2000, 4410), 0.1f);
    EXPECT_EQ (test::peakOf (out, 0, test::limiterDelay), 0.0f);
}

TEST (EngineLimiter, OverloadedOutputsNeverExceedFullScaleAndRecover)
{
    // Four times full scale for half a second, then a quiet sine.
    auto input = [] (juce::int64 sample, int channel) {
        const float amplitude = sample < 22050 ? 4.0f : 0.25f;
        return sine (200.0, amplitude) (sample, channel);
    };
    EngineRig rig (2, 6);
    playThruOnChannel0 (rig, input);
    rig->setMainOutput (0);
    rig->setPhonesOutput (2);
    rig->setCue (0, true);
    rig->setChannelOutput (0, 4);
    rig->setChannelGainDb (0, 6.0f);
    const auto out = rig.run (44100);

    for (size_t ch = 0; ch < out.size(); ++ch)
    {
        EXPECT_LE (test::peakOf (out[ch], 0, out[ch].size()), 1.0f) << ch;
        EXPECT_GT (test::peakOf (out[ch], 2000, 22050), 0.9f) << ch; // limited, not silenced
        // Once the overload is over the gain returns to 1 (0.25 x 2 from the channel gain).
        EXPECT_NEAR (test::peakOf (out[ch], 30000, 44100), 0.5f, 0.01f) << ch;
    }
}

TEST (EngineLimiter, NonFiniteSampleBeforeTheLimiterDoesNotPoisonTheOutput)
{
    EngineRig rig (2, 2);
    playThruOnChannel0 (rig, sine (1000.0, 0.3f));
    rig->setMainOutput (0);
    rig.run (4410);

    // A NaN and an infinity reach the pair ahead of the engine's sum (as a
    // misbehaving plug-in might leave them).
    std::vector<float> left (256, 0.0f), right (256, 0.0f);
    left[10] = std::numeric_limits<float>::quiet_NaN();
    right[20] = std::numeric_limits<float>::infinity();
    float* outputs[] = { left.data(), right.data() };
    std::vector<float> inLeft (256), inRight (256);
    for (int i = 0; i < 256; ++i)
    {
        inLeft[(size_t) i] = rig.input (4410 + i, 0);
        inRight[(size_t) i] = rig.input (4410 + i, 1);
    }
    const float* inputs[] = { inLeft.data(), inRight.data() };
    rig->processBlock (inputs, 2, outputs, 2, 256, false);

    EXPECT_TRUE (test::allFinite (left.data(), 256));
    EXPECT_TRUE (test::allFinite (right.data(), 256));

    // The bad samples leave as silence, 44 samples later; the rest plays on.
    EXPECT_EQ (left[10 + test::limiterDelay], 0.0f);
    EXPECT_EQ (right[20 + test::limiterDelay], 0.0f);
    EXPECT_GT (test::peakOf (left.data() + 100, 100), 0.25f);

    const auto after = rig.run (4410);
    EXPECT_TRUE (test::allFinite (after[0].data(), 4410));
    EXPECT_GT (test::peakOf (after[0], 0, 4410), 0.29f);
}

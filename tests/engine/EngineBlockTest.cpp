#include "EngineRig.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <future>
#include <memory>

using namespace zund;
using test::EngineRig;

namespace
{
float deckSine (juce::int64 sample, int channel)
{
    const auto v = 0.5f * (float) std::sin (2.0 * M_PI * 1000.0 * (double) sample / 44100.0);
    return channel == 0 ? v : -v;
}

// Channel 0 plays deck 0's input (device inputs 0 and 1) into the main output.
void routeThru (EngineRig& rig)
{
    rig.input = deckSine;
    rig->setDeckInput (0, 0);
    rig->setThru (0, true);
    rig->setMainOutput (0);
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
}

TEST (EngineBlock, ThruIsContinuousAcrossChunksForAnyBlockSize)
{
    std::vector<EngineRig::Outputs> results;
    for (int blockSize : { 64, 256, 600 })
    {
        EngineRig rig;
        routeThru (rig);
        results.push_back (rig.run (4800, blockSize));
    }

    // The chain is sample by sample: chunking must not change a single sample.
    EXPECT_EQ (results[0], results[1]);
    EXPECT_EQ (results[0], results[2]);

    // Once the fader has faded in, the output is the input, delayed by the limiter.
    const auto& out = results[2];
    float worst = 0.0f;
    for (juce::int64 i = 2000; i < 4800; ++i)
        for (int ch = 0; ch < 2; ++ch)
            worst = std::max (worst, std::abs (out[(size_t) ch][(size_t) i] - deckSine (i - test::limiterDelay, ch)));
    EXPECT_LT (worst, 0.01f);
}

TEST (EngineBlock, EmptyBlockLeavesTheLockFree)
{
    EngineRig rig;
    rig->processBlock (nullptr, 0, nullptr, 0, 0, false);
    rig.run (0);

    // A locked setter from another thread must get through.
    auto setter = std::async (std::launch::async, [&rig] { rig->setNumChannels (3); });
    ASSERT_EQ (setter.wait_for (std::chrono::seconds (30)), std::future_status::ready);
    EXPECT_EQ (rig->getNumChannels(), 3);
}

TEST (EngineBlock, BusesSharingAPairAreSummedAndLimitedOnce)
{
    // The main bus, the phones (the cue send) and channel 0's own pair all land
    // on device pair 0: three times the input, one limiter's delay late, not two.
    EngineRig rig (2, 4);
    rig.input = test::sineInput (700.0, 0.3f);
    rig.playThru (0, 0);
    rig->setMainOutput (0);
    rig->setPhonesOutput (0);
    rig->setCue (0, true);
    rig->setChannelOutput (0, 0);
    const auto out = rig.run (4410);
    EXPECT_LT (worstError (out[0], rig.input, 3.0f, test::limiterDelay, 2000, 4410), 0.02f);
    EXPECT_GT (worstError (out[0], rig.input, 3.0f, 2 * test::limiterDelay, 2000, 4410), 0.1f);
    EXPECT_EQ (test::peakOf (out[0], 0, test::limiterDelay), 0.0f);
    EXPECT_EQ (test::peakOf (out[2], 0, 4410), 0.0f);
}

TEST (EngineBlock, UnavailablePairsAreSkipped)
{
    // A deck pair that starts on the last input has no partner: silence.
    EngineRig lastInput (3, 2);
    routeThru (lastInput);
    lastInput->setDeckInput (0, 2);
    EXPECT_EQ (test::peakOf (lastInput.run (2000)[0], 0, 2000), 0.0f);

    // Null device channels are neither read nor written; a pair above 32 is served.
    EngineRig rig (2, 40);
    routeThru (rig);
    std::vector<float> in (256), out (256), high (256 * 2);
    for (int i = 0; i < 256; ++i)
        in[(size_t) i] = deckSine (i, 0);
    const float* inputs[] = { in.data(), nullptr };
    std::vector<float*> outputs (40, nullptr);
    outputs[0] = out.data();
    outputs[36] = high.data();
    outputs[37] = high.data() + 256;

    rig->setMainOutput (0);
    rig->setPhonesOutput (-2);
    rig->processBlock (inputs, 2, outputs.data(), 40, 256, false);
    EXPECT_EQ (test::peakOf (out, 0, 256), 0.0f); // partner channel is null

    rig->setDeckInput (0, -2);
    rig->setMainOutput (36);
    for (int block = 0; block < 8; ++block)
        rig->processBlock (inputs, 2, outputs.data(), 40, 256, false);
    EXPECT_EQ (test::peakOf (high, 0, 512), 0.0f); // no input pair: silence, but no crash

    EngineRig highPair (2, 40);
    routeThru (highPair);
    highPair->setMainOutput (36);
    const auto served = highPair.run (4410);
    EXPECT_GT (test::peakOf (served[36], 2000, 4410), 0.45f);
    EXPECT_GT (test::peakOf (served[37], 2000, 4410), 0.45f);
}

TEST (EngineBlock, PlayHeadAdvancesByRealTime)
{
    EngineRig rig;
    rig->setSampleRate (22050);
    rig.run (22050);
    auto head = rig->getPlayHeadRecord();
    EXPECT_NEAR (head.timeInSeconds, 1.0, 1e-9);
    EXPECT_DOUBLE_EQ (head.bpm, 60.0);
    EXPECT_NEAR (head.ppqPosition, 1.0, 1e-9);

    // Below 11025 Hz the engine computes as if at 11025 Hz; the tempo is kept within 60..240.
    rig->setSampleRate (8000);
    rig->setFXTempo (300.0);
    rig.run (11025, 600);
    head = rig->getPlayHeadRecord();
    EXPECT_NEAR (head.timeInSeconds, 2.0, 1e-9);
    EXPECT_DOUBLE_EQ (head.bpm, 240.0);
    EXPECT_NEAR (head.ppqPosition, 5.0, 1e-9);

    rig->setSampleRate (0);
    EXPECT_EQ (rig->getSampleRate(), 44100);
}

TEST (EngineBlock, OverloadedOutputsNeverExceedFullScaleAndRecover)
{
    // Four times full scale for half a second, then a quiet sine.
    auto input = [] (juce::int64 sample, int channel) {
        const float amplitude = sample < 22050 ? 4.0f : 0.25f;
        return test::sineInput (200.0, amplitude) (sample, channel);
    };
    EngineRig rig (2, 6);
    rig.input = input;
    rig.playThru (0, 0);
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

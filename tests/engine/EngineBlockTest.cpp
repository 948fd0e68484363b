#include "EngineRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <memory>

using namespace zund;
using test::EngineRig;

namespace
{
constexpr double pi = 3.14159265358979323846;

float deckSine (juce::int64 sample, int channel)
{
    const auto v = 0.5f * (float) std::sin (2.0 * pi * 1000.0 * (double) sample / 44100.0);
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

TEST (EngineBlock, BusesSharingAPairAreSummedAndChannelPairsCarryTheirChannel)
{
    // Half level, so that the sum stays clear of the limiter. The main bus passes
    // the master filter and EQ; the cue send and the channel's own pair do not.
    auto makeRig = [] {
        auto rig = std::make_unique<EngineRig> (2, 8);
        routeThru (*rig);
        (*rig)->setChannelGainDb (0, -6.0f);
        (*rig)->setChannelOutput (0, 6);
        return rig;
    };
    auto alone = makeRig();
    const auto reference = alone->run (4410);

    auto shared = makeRig();
    (*shared)->setCue (0, true);
    (*shared)->setPhonesOutput (0);
    const auto out = shared->run (4410);

    // The phones (the cue send, at the channel's level) are added to the main
    // bus on pair 0, and the sum is limited once: no extra delay.
    EXPECT_EQ (out[6], reference[6]);
    EXPECT_GT (test::peakOf (reference[6], 1000, 4410), 0.2f);
    for (size_t i = 1000; i < 4410; i += 97)
        EXPECT_NEAR (out[0][i], reference[0][i] + reference[6][i], 1e-5f) << i;
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

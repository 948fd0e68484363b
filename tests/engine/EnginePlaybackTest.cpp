#include "EngineRig.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

using namespace zund;
using test::EngineRig;

namespace
{
// The smoothed speed of a channel after n samples at speed 1 from rest (90 % in 3 s).
double smoothedAfter (int numSamples)
{
    return 1.0 - std::pow (0.1, numSamples / (3.0 * 44100.0));
}
}

TEST (EnginePlayback, SilentUntilRestartThenOneSecondOfPreRoll)
{
    EngineRig rig;
    rig->setMainOutput (0);
    rig.setDeckSpeed (0, 1.0);
    auto cosine = [] (juce::int64 frame, int) { return 0.5f * (float) std::cos (2.0 * M_PI * 1000.0 * (double) frame / 44100.0); };
    const auto track = rig.writeTrack ("cos.wav", 44100.0, 3.0, cosine);

    ASSERT_TRUE (rig->loadTrack (0, track, 120.0));
    EXPECT_TRUE (rig->isTrackLoaded (0));
    EXPECT_EQ (test::peakOf (rig.run (4410)[0], 0, 4410), 0.0f);

    rig->timerCallback();
    ASSERT_TRUE (rig.waitForFrame (0, -1) && rig.waitForFrame (0, 0));
    const auto out = rig.run (44100 + 2000 + test::limiterDelay)[0];

    // The reader hands out frame p + 1 at position p, so frame 0 comes with the
    // last sample of the second before it (and leaves the limiter 44 samples later).
    constexpr size_t firstFrame = 44099 + test::limiterDelay;
    EXPECT_EQ (test::peakOf (out, 0, firstFrame), 0.0f);
    EXPECT_GT (out[firstFrame], 0.45f); // the onset, a little softened by the filter
    for (size_t frame = 300; frame < 2000; frame += 37)
        EXPECT_NEAR (out[firstFrame + frame], cosine ((juce::int64) frame, 0), 0.01f) << frame;
}

TEST (EnginePlayback, VirtualZeroLockAndScratchState)
{
    EngineRig rig;
    const struct
    {
        double decoded, played;
        int state;
    } cases[] = { { 1.005, 1.0, 1 }, { 1.02, 1.01, 0 }, { 0.98, 0.99, 0 }, { 0.005, 0.0, 0 }, { 1.5, 1.49, 0 } };
    for (const auto& c : cases)
    {
        rig.setDeckSpeed (0, c.decoded);
        rig.run (256);
        EXPECT_DOUBLE_EQ (rig->getPitch (0), c.played) << c.decoded;
        EXPECT_EQ (rig->getSpeedState (0), c.state) << c.decoded;
        EXPECT_NEAR ((double) rig.advanceOver (0, 10000), c.played * 10000.0, 2.0) << c.decoded;
        EXPECT_DOUBLE_EQ (rig->getDecoderSpeed (0), c.decoded);
    }
    rig->setVirtualZeroLockRange (5.0);
    rig.setDeckSpeed (0, 1.04);
    rig.run (256);
    EXPECT_DOUBLE_EQ (rig->getPitch (0), 1.0);
    rig->setVirtualZeroLockRange (1.0);

    // Backward motion starts a second of scratch state (the speed passes as it
    // is). Forward motion above 0.7 runs the counter down, backward motion below
    // -0.05 reloads it, and anything in between holds it.
    const struct
    {
        double hold;
        int stateAfterHold, stateAfterRunningOut;
    } band[] = { { 0.69, 2, 1 }, { 0.71, 0, 1 }, { -0.04, 2, 1 }, { -0.06, 2, 2 } };
    for (const auto& b : band)
    {
        rig.setDeckSpeed (0, -0.5);
        rig.run (256);
        EXPECT_EQ (rig->getSpeedState (0), 2);
        EXPECT_DOUBLE_EQ (rig->getPitch (0), -0.5);
        rig.setDeckSpeed (0, 1.005);
        rig.run (30000);
        EXPECT_DOUBLE_EQ (rig->getPitch (0), 1.005);
        rig.setDeckSpeed (0, b.hold);
        rig.run (30000);
        EXPECT_EQ (rig->getSpeedState (0), b.stateAfterHold) << b.hold;
        rig.setDeckSpeed (0, 1.005);
        rig.run (15000);
        EXPECT_EQ (rig->getSpeedState (0), b.stateAfterRunningOut) << b.hold;
    }

}

TEST (EnginePlayback, TakeControlWithTwoChannelsOnOneDeck)
{
    EngineRig rig;
    const auto track = rig.writeTrack ("t.wav", 44100.0, 1.0, test::sineSignal (440.0, 44100.0, 0.5f));
    rig->setChannelInputDeck (1, 0);
    EXPECT_TRUE (rig->isPitchLocked (1));
    EXPECT_TRUE (rig->isOnSharedDeck (0));
    EXPECT_TRUE (rig->isOnSharedDeck (1));

    rig.setDeckSpeed (0, 1.02);
    ASSERT_TRUE (rig.loadAndRestart (0, track));
    rig.run (256);
    EXPECT_EQ (rig->getControlState (0), 1);
    EXPECT_DOUBLE_EQ (rig->getPitch (0), 1.01);

    // Loading channel 1 gives it the deck; channel 0 keeps its speed.
    ASSERT_TRUE (rig.loadAndRestart (1, track));
    rig.setDeckSpeed (0, 0.5);
    rig.run (256);
    EXPECT_EQ (rig->getControlState (0), 0);
    EXPECT_EQ (rig->getControlState (1), 1);
    EXPECT_TRUE (rig->isPitchLocked (0));
    const auto before0 = rig->getPlayPosition (0), before1 = rig->getPlayPosition (1);
    rig.run (10000);
    EXPECT_NEAR ((double) (rig->getPlayPosition (0) - before0), 1.01 * 10000.0, 2.0);
    EXPECT_NEAR ((double) (rig->getPlayPosition (1) - before1), 0.51 * 10000.0, 2.0);

    // Alone on a deck, each channel has the control again.
    rig->setChannelInputDeck (1, 9);
    EXPECT_EQ (rig->getChannelInputDeck (1), 3);
    EXPECT_FALSE (rig->isPitchLocked (0));
    EXPECT_FALSE (rig->isPitchLocked (1));
    EXPECT_EQ (rig->getControlState (0), -1);
    EXPECT_FALSE (rig->isOnSharedDeck (0));
}

TEST (EnginePlayback, ChannelsOnDifferentDecksGoByTheSmoothedSpeed)
{
    // Channels 0 and 1 share deck 0, channel 2 follows deck 2: not all active
    // channels follow one deck, so tempo sync, the frozen speed of a channel that
    // loses the deck and the displayed tempo take the smoothed speed.
    EngineRig rig;
    const auto track = rig.writeTrack ("t.wav", 44100.0, 1.0, test::sineSignal (440.0, 44100.0, 0.5f));
    rig->setNumChannels (3);
    rig->setChannelInputDeck (1, 0);
    rig.setDeckSpeed (0, 1.0);
    rig.setDeckSpeed (2, 1.0);
    ASSERT_TRUE (rig.loadAndRestart (0, track, 120.0));
    ASSERT_TRUE (rig.loadAndRestart (2, track, 100.0));
    rig.run (44100);
    EXPECT_NEAR (rig->getCurrentBpm (0), 120.0 * smoothedAfter (44100), 1e-3);
    EXPECT_NEAR (rig->getEffectiveBpm (0), 120.0, 1e-9);

    // Channel 2 synced to the clock, channel 0.
    rig->setChannelSync (2, true);
    EXPECT_NEAR ((double) rig.advanceOver (2, 10000), 1.2 * smoothedAfter (44100) * 10000.0, 2.0);

    // Channel 1 takes deck 0: channel 0 runs on at its smoothed speed.
    ASSERT_TRUE (rig.loadAndRestart (1, track, 120.0));
    rig.run (256);
    EXPECT_TRUE (rig->isPitchLocked (0));
    EXPECT_NEAR ((double) rig.advanceOver (0, 10000), smoothedAfter (54100) * 10000.0, 2.0);
}

TEST (EnginePlayback, TempoSyncFollowsTheClockChannel)
{
    EngineRig rig;
    const auto track = rig.writeTrack ("t.wav", 44100.0, 1.0, test::sineSignal (440.0, 44100.0, 0.5f));
    rig.setDeckSpeed (0, 1.0);
    rig->setChannelInputDeck (1, 0);
    ASSERT_TRUE (rig.loadAndRestart (0, track, 120.0));
    rig.run (256);
    ASSERT_TRUE (rig.loadAndRestart (1, track, 100.0));

    // Channel 0 is the clock, held at speed 1 under channel 1's control.
    rig->setChannelSync (1, true);
    EXPECT_TRUE (rig->isChannelSync (1));
    rig.run (256);
    EXPECT_NEAR ((double) rig.advanceOver (1, 10000), 1.2 * 10000.0, 2.0);
    EXPECT_NEAR (rig->getEffectiveBpm (1), 120.0, 1e-9);

    // With channel 1 itself the clock, it syncs to the clock before it; setting
    // the same clock again or a channel that does not exist changes nothing.
    rig->setChannelSync (1, false);
    rig->setClockChannel (1);
    rig->setClockChannel (1);
    rig->setClockChannel (7);
    EXPECT_EQ (rig->getClockChannel(), 1);
    rig->setChannelSync (1, true);
    EXPECT_NEAR ((double) rig.advanceOver (1, 10000), 1.2 * 10000.0, 2.0);
    rig->setClockChannel (0);

    // Factors beyond 0.2 .. 5 fall back to 1.
    ASSERT_TRUE (rig.loadAndRestart (1, track, 20.0));
    rig.run (256);
    EXPECT_NEAR ((double) rig.advanceOver (1, 10000), 10000.0, 2.0);
    rig->setChannelSync (1, false);
    EXPECT_NEAR (rig->getEffectiveBpm (1), 20.0, 1e-9);
}

TEST (EnginePlayback, PositionsTimesAndSeeks)
{
    EngineRig rig;
    rig.setDeckSpeed (0, 0.0);
    const auto track = rig.writeTrack ("t.wav", 44100.0, 2.0, test::sineSignal (440.0, 44100.0, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (0, track));

    // Half a second is 0.5, not 0 (floating point, not integer, division).
    rig->setPositionSeconds (0, 0.5f);
    rig.run (1);
    EXPECT_EQ (rig->getPlayPosition (0), 22050);
    EXPECT_FLOAT_EQ (rig->getPositionSeconds (0), 0.5f);
    EXPECT_NEAR (rig->getPositionFraction (0), 0.25, 1e-9);
    EXPECT_NEAR (rig->getRemainingSeconds (0), 1.5f, 1e-6f);
    EXPECT_EQ (rig->getWaveRingPosition (0), BufferedAudioReader::getWaveRingIndex (22050.0));

    rig->setPositionFraction (0, 0.75);
    rig.run (1);
    EXPECT_FLOAT_EQ (rig->getPositionSeconds (0), 1.5f);

    // Beyond the end the remaining time stays at 0.
    rig->setPositionSeconds (0, 5.0f);
    rig.run (1);
    EXPECT_EQ (rig->getRemainingSeconds (0), 0.0f);

    // The preview player always takes a seek.
    ASSERT_TRUE (rig->loadPreviewFile (track));
    rig->stopPreview();
    rig->setPositionFraction (Engine::previewChannel, 0.5);
    rig.run (1);
    EXPECT_NEAR (rig->getPositionFraction (Engine::previewChannel), 0.5, 1e-9);
    EXPECT_FALSE (rig->loadPreviewFile (track.getSiblingFile ("missing.wav")));

    // A seek posted while blocks are processed on another thread arrives.
    rig.setDeckSpeed (0, 1.0);
    std::atomic<bool> stop { false };
    std::thread audio ([&] {
        while (! stop.load())
            rig.run (256);
    });
    rig->setPositionSeconds (0, 10.0f);
    bool arrived = false;
    for (int tries = 0; tries < 2000 && ! arrived; ++tries)
    {
        arrived = rig->getPositionSeconds (0) >= 10.0f;
        juce::Thread::sleep (5);
    }
    stop = true;
    audio.join();
    EXPECT_TRUE (arrived);
}

TEST (EnginePlayback, FailedLoadLeavesThePlayingChannelAlone)
{
    EngineRig rig;
    rig->setMainOutput (0);
    rig.setDeckSpeed (0, 1.0);
    const auto track = rig.writeTrack ("t.wav", 44100.0, 4.0, test::sineSignal (440.0, 44100.0, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (0, track));
    rig.run (44100 + 4410);

    const auto bogus = track.getSiblingFile ("bogus.wav");
    ASSERT_TRUE (bogus.replaceWithText ("not audio"));
    EXPECT_FALSE (rig->loadTrack (0, bogus, 120.0));
    EXPECT_FALSE (rig->loadTrack (0, track.getSiblingFile ("missing.wav"), 120.0));
    EXPECT_FALSE (rig->loadTrack (7, track, 120.0));

    const auto before = rig->getPlayPosition (0);
    const auto out = rig.run (4410)[0];
    EXPECT_GT (test::peakOf (out, 0, 4410), 0.45f);
    EXPECT_EQ (rig->getPlayPosition (0) - before, 4410);
}

TEST (EnginePlayback, DamagedFloatTrackDoesNotSilenceTheMixForGood)
{
    // A float WAV with a run of NaN, infinite and absurd samples 0.1 s in; they
    // would stay in the DC blocker's and the filters' state and mute the channel
    // and the main output for the rest of the session.
    EngineRig rig (2, 4);
    rig->setMainOutput (0);
    rig->setChannelOutput (0, 2);
    rig.setDeckSpeed (0, 1.0);
    const auto track = rig.writeTrack ("damaged.wav", 44100.0, 4.0, [] (juce::int64 frame, int) {
        if (frame >= 4410 && frame < 4420)
            return std::numeric_limits<float>::quiet_NaN();
        if (frame >= 4420 && frame < 4430)
            return -std::numeric_limits<float>::infinity();
        if (frame >= 4430 && frame < 4440)
            return 3.0e38f;
        return 0.5f * (float) std::sin (2.0 * M_PI * 441.0 * (double) frame / 44100.0);
    });
    ASSERT_TRUE (rig.loadAndRestart (0, track));

    // The pre-roll, the damaged run and a little more.
    rig.run (44100 + 8820);
    const auto out = rig.run (8820);
    for (size_t ch : { 0u, 2u })
    {
        EXPECT_NEAR (test::toneOf (out[ch], 0, 8820, 441.0), 0.5, 0.01) << ch;
        EXPECT_TRUE (test::allFinite (out[ch].data(), 8820)) << ch;
    }
}

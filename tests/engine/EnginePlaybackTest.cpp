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

test::SampleFunction cosine (double frequency, double rate, float amplitude)
{
    return [=] (juce::int64 frame, int) { return amplitude * (float) std::cos (2.0 * pi * frequency * (double) frame / rate); };
}

int countRisingZeroCrossings (const std::vector<float>& samples, size_t begin, size_t end)
{
    int count = 0;
    for (size_t i = begin + 1; i < end; ++i)
        count += samples[i - 1] < 0.0f && samples[i] >= 0.0f ? 1 : 0;
    return count;
}

juce::int64 advanceOver (EngineRig& rig, int channel, int numSamples)
{
    const auto before = rig->getPlayPosition (channel);
    rig.run (numSamples);
    return rig->getPlayPosition (channel) - before;
}
}

TEST (EnginePlayback, SilentUntilRestartThenOneSecondOfPreRoll)
{
    EngineRig rig;
    rig->setMainOutput (0);
    rig.setDeckSpeed (0, 1.0);
    const auto track = rig.writeTrack ("cos.wav", 44100.0, 3.0, cosine (1000.0, 44100.0, 0.5f));

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
        EXPECT_NEAR (out[firstFrame + frame], cosine (1000.0, 44100.0, 0.5f) ((juce::int64) frame, 0), 0.01f) << frame;
}

TEST (EnginePlayback, TrackRateAndDeviceRateDiffer)
{
    EngineRig rig;
    rig->setSampleRate (48000);
    rig->setMainOutput (0);
    rig.setDeckSpeed (0, 1.0);
    const auto track = rig.writeTrack ("sine.wav", 44100.0, 4.0, test::sineSignal (441.0, 44100.0, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (0, track));

    rig.run (96000); // the pre-roll and the first second
    const auto before = rig->getPlayPosition (0);
    const auto out = rig.run (48000)[0];
    EXPECT_EQ (rig->getPlayPosition (0) - before, 44100);

    // 441 Hz in the file is 441 Hz out of the device.
    EXPECT_NEAR (countRisingZeroCrossings (out, 0, 48000), 441, 1);
}

TEST (EnginePlayback, AbsoluteModeFollowsTheRecordTwoSecondsBehind)
{
    EngineRig rig;
    rig->setChannelAbsolute (0, true);
    bool anchored = false;
    rig->overrideDeckSignal (0, [&anchored] (double* speed, float* position, int n) {
        for (int i = 0; i < n; ++i)
        {
            speed[i] = 1.0;
            position[i] = anchored ? -1000.0f : 10.0f;
            anchored = true;
        }
    });

    rig.run (4410);
    EXPECT_EQ (rig->getPlayPosition (0), 8 * 44100 + 4409);

    // Seeks do not apply while the record gives the position.
    rig->setPositionSeconds (0, 1.0f);
    rig.run (1000);
    EXPECT_EQ (rig->getPlayPosition (0), 8 * 44100 + 5409);
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
        EXPECT_NEAR ((double) advanceOver (rig, 0, 10000), c.played * 10000.0, 2.0) << c.decoded;
        EXPECT_DOUBLE_EQ (rig->getDecoderSpeed (0), c.decoded);
    }

    // Backward motion starts a second of scratch state; the lock waits for
    // forward motion to run the counter down.
    rig.setDeckSpeed (0, -0.5);
    rig.run (256);
    EXPECT_EQ (rig->getSpeedState (0), 2);
    EXPECT_DOUBLE_EQ (rig->getPitch (0), -0.5);

    rig.setDeckSpeed (0, 1.005);
    rig.run (30000);
    EXPECT_EQ (rig->getSpeedState (0), 2);
    EXPECT_DOUBLE_EQ (rig->getPitch (0), 1.005);
    rig.run (20000);
    EXPECT_EQ (rig->getSpeedState (0), 1);
    EXPECT_DOUBLE_EQ (rig->getPitch (0), 1.0);

    rig->setVirtualZeroLockRange (5.0);
    rig.setDeckSpeed (0, 1.04);
    rig.run (256);
    EXPECT_DOUBLE_EQ (rig->getPitch (0), 1.0);
}

TEST (EnginePlayback, PausedChannelIsExactlySilent)
{
    EngineRig rig (2, 4);
    rig.input = [] (juce::int64 s, int) { return 0.5f * (float) std::sin (2.0 * pi * 440.0 * (double) s / 44100.0); };
    rig->setDeckInput (0, 0);
    rig->setThru (0, true);
    rig->setMainOutput (0);
    rig->setChannelOutput (0, 2);
    rig.setDeckSpeed (0, 1.0);

    rig.run (4410);
    EXPECT_NEAR (rig->getChannelPreFaderPeakLeft (0), 0.5f, 0.02f);
    EXPECT_NEAR (rig->getChannelPostFaderHoldRight (0), 0.5f, 0.02f);

    rig->setPlaying (0, false);
    EXPECT_FALSE (rig->isPlaying (0));
    const auto out = rig.run (4410);
    // The channel's own pair is silent once the limiter's delay has passed; the
    // main output only carries the master filter's and EQ's dying tail.
    EXPECT_EQ (test::peakOf (out[2], test::limiterDelay, 4410), 0.0f);
    EXPECT_EQ (test::peakOf (out[3], test::limiterDelay, 4410), 0.0f);
    EXPECT_LT (test::peakOf (out[0], test::limiterDelay, 4410), 1e-3f);
    EXPECT_LT (test::peakOf (out[0], 2000, 4410), 1e-6f);
    EXPECT_EQ (rig->getChannelPreFaderPeakLeft (0) + rig->getChannelPreFaderPeakRight (0)
                   + rig->getChannelPreFaderHoldLeft (0) + rig->getChannelPreFaderHoldRight (0)
                   + rig->getChannelPostFaderPeakLeft (0) + rig->getChannelPostFaderPeakRight (0)
                   + rig->getChannelPostFaderHoldLeft (0) + rig->getChannelPostFaderHoldRight (0),
               0.0f);
}

TEST (EnginePlayback, GainFaderAndCrossfaderShapeTheLevel)
{
    // Channels 0 and 1 both play deck 0's input through their own output pairs.
    EngineRig rig (2, 6);
    rig.input = [] (juce::int64 s, int) { return 0.5f * (float) std::sin (2.0 * pi * 440.0 * (double) s / 44100.0); };
    rig->setDeckInput (0, 0);
    for (int c : { 0, 1 })
    {
        rig->setChannelInputDeck (c, 0);
        rig->setThru (c, true);
        rig->setChannelOutput (c, 2 + 2 * c);
    }
    auto levels = [&rig] {
        const auto out = rig.run (8820);
        return std::make_pair (test::peakOf (out[2], 4410, 8820), test::peakOf (out[4], 4410, 8820));
    };

    rig->setCrossfaderSideA (0);
    rig->setCrossfaderSideB (1);
    rig->setCrossfaderCurve (0);
    rig->setCrossfaderPosition (0.5f);
    auto [a, b] = levels();
    EXPECT_NEAR (a, 0.5f * 0.794f, 2e-3f);
    EXPECT_NEAR (b, 0.5f * 0.794f, 2e-3f);

    rig->setCrossfaderPosition (0.0f);
    std::tie (a, b) = levels();
    EXPECT_NEAR (a, 0.5f, 2e-3f);
    EXPECT_LT (b, 1e-30f); // the gain glides down to nothing

    // The fader law multiplies with the crossfader gain.
    rig->setChannelFader (0, 0.5f);
    rig->setCrossfaderPosition (0.5f);
    std::tie (a, b) = levels();
    EXPECT_NEAR (a, 0.5f * 0.240253f * 0.794f, 1e-3f);

    // One channel on both sides: no crossfading at all.
    rig->setCrossfaderSideB (0);
    rig->setCrossfaderPosition (1.0f);
    std::tie (a, b) = levels();
    EXPECT_NEAR (a, 0.5f * 0.240253f, 1e-3f);
    EXPECT_NEAR (b, 0.5f, 2e-3f);

    // -6 dB of channel gain halves the level; -120 dB silences it.
    rig->setChannelGainDb (1, -6.0206f);
    std::tie (a, b) = levels();
    EXPECT_NEAR (b, 0.25f, 2e-3f);
    rig->setChannelGainDb (1, -120.0f);
    std::tie (a, b) = levels();
    EXPECT_LT (b, 1e-12f); // what is left rings out of the filter and EQ
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
    EXPECT_NEAR ((double) advanceOver (rig, 1, 10000), 1.2 * 10000.0, 2.0);
    EXPECT_NEAR (rig->getEffectiveBpm (1), 120.0, 1e-9);

    // Factors beyond 0.2 .. 5 fall back to 1.
    ASSERT_TRUE (rig.loadAndRestart (1, track, 20.0));
    rig.run (256);
    EXPECT_NEAR ((double) advanceOver (rig, 1, 10000), 10000.0, 2.0);

    rig->setChannelSync (1, false);
    EXPECT_NEAR (rig->getEffectiveBpm (1), 20.0, 1e-9);
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
        return 0.5f * (float) std::sin (2.0 * pi * 441.0 * (double) frame / 44100.0);
    });
    ASSERT_TRUE (rig.loadAndRestart (0, track));

    // The pre-roll, the damaged run and a little more.
    rig.run (44100 + 8820);
    const auto out = rig.run (8820);
    for (size_t ch : { 0u, 2u })
    {
        EXPECT_NEAR (test::toneAmplitude (out[ch].data(), 8820, 441.0, 44100.0), 0.5, 0.01) << ch;
        EXPECT_TRUE (test::allFinite (out[ch].data(), 8820)) << ch;
    }
}

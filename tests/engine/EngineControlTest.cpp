#include "EngineRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

using namespace zund;
using test::EngineRig;

TEST (EngineControl, SeekWhileBlocksAreProcessedTakesEffect)
{
    EngineRig rig;
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
    EXPECT_GE (rig->getPositionSeconds (0), 10.0f);
}

TEST (EngineControl, PositionsAndTimes)
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

    rig->setPositionFraction (0, 0.75);
    rig.run (1);
    EXPECT_FLOAT_EQ (rig->getPositionSeconds (0), 1.5f);

    // Beyond the end the remaining time stays at 0.
    rig->setPositionSeconds (0, 5.0f);
    rig.run (1);
    EXPECT_EQ (rig->getRemainingSeconds (0), 0.0f);

    // The preview player always takes a seek.
    ASSERT_TRUE (rig->loadPreviewFile (track));
    rig->setPositionFraction (Engine::previewChannel, 0.5);
    rig.run (1);
    EXPECT_NEAR (rig->getPositionFraction (Engine::previewChannel), 0.5, 1e-9);
    EXPECT_FALSE (rig->loadPreviewFile (track.getSiblingFile ("missing.wav")));

    EXPECT_EQ (rig->getWaveRingPosition (0), BufferedAudioReader::getWaveRingIndex (5.0 * 44100.0));
    EXPECT_NE (rig->getWavePeakRing (0), nullptr);
    EXPECT_EQ (rig->getWavePeakRing (9), nullptr);
}

TEST (EngineControl, DeckRoutingAndSignalState)
{
    EngineRig rig;
    // A deck routed to NONE reports no signal and no speed.
    rig->setDeckInput (0, -2);
    EXPECT_TRUE (rig->hasNoSignal (0));
    EXPECT_EQ (rig->getDecoderSpeed (0), 0.0);
    rig.run (256);
    EXPECT_EQ (rig->getPitch (0), 0.0);

    rig.setDeckSpeed (0, 0.75);
    rig.run (256);
    EXPECT_FALSE (rig->hasNoSignal (0));
    EXPECT_EQ (rig->getDecoderSpeed (0), 0.75);
    rig->overrideDeckSignal (0, nullptr);
    EXPECT_TRUE (rig->hasNoSignal (0));

    // Clamped counts and indexes; out-of-range channels are ignored.
    rig->setNumChannels (9);
    EXPECT_EQ (rig->getNumChannels(), 4);
    rig->setNumChannels (0);
    EXPECT_EQ (rig->getNumChannels(), 2);
    rig->setChannelInputDeck (2, -5);
    EXPECT_EQ (rig->getChannelInputDeck (2), 0);
    rig->setPlaying (-1, false);
    rig->setChannelGainDb (4, -200.0f);
    EXPECT_FALSE (rig->isPlaying (-1));
    EXPECT_EQ (rig->getControlState (0), -1);
}

TEST (EngineControl, ClockChannelAndCueMix)
{
    EngineRig rig (2, 4);
    rig->setClockChannel (2);
    rig->setClockChannel (2);
    rig->setClockChannel (7);
    EXPECT_EQ (rig->getClockChannel(), 2);

    // The cue send reaches the phones at the cue mix level.
    rig.input = [] (juce::int64 s, int) { return 0.5f * (float) std::sin (s * 0.06); };
    rig->setDeckInput (0, 0);
    rig->setThru (0, true);
    rig->setCue (0, true);
    rig->setPhonesOutput (2);
    rig->setCueMix (0.5f);
    EXPECT_NEAR (test::peakOf (rig.run (8820)[2], 4410, 8820), 0.5f * 0.7072136f, 2e-3f);
    rig->setCueMix (1.0f);
    EXPECT_NEAR (test::peakOf (rig.run (4410)[2], 0, 4410), 0.5f, 2e-3f);
    rig->setCueMix (0.0f);
    EXPECT_EQ (test::peakOf (rig.run (4410)[2], test::limiterDelay, 4410), 0.0f);
}

TEST (EngineControl, RecordingWithoutARecorderReportsFailure)
{
    EngineRig rig;
    EXPECT_FALSE (rig->startRecording ("/tmp/zund-never-written.wav", 16, true));
    rig->stopRecording();
    const float samples[4] = {};
    rig->feedRecorder (samples, samples, 4);
}

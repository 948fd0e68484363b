#include "EngineRig.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zund;
using test::EngineRig;

namespace
{
// Channel 0 plays a 120 BPM track at speed 1: a bar is 88,200 samples.
struct LoopRig
{
    LoopRig()
    {
        rig.setDeckSpeed (0, 1.0);
        const auto track = rig.writeTrack ("t.wav", 44100.0, 1.0, test::sineSignal (440.0, 44100.0, 0.5f));
        loaded = rig.loadAndRestart (0, track, 120.0);
        rig.run (256);
    }

    // Starts a loop and returns the track frame where it was taken.
    juce::int64 startLoop (double beats, bool keepRunning = false)
    {
        rig->setLoopBeats (0, beats);
        rig->setLoopActive (0, true, keepRunning);
        rig.run (1);
        return rig->getLoopStart (0);
    }

    juce::int64 loopLength() { return rig->getLoopEnd (0) - rig->getLoopStart (0); }

    EngineRig rig;
    bool loaded = false;
};
}

TEST (EngineLoop, LengthFollowsTheTempoWithinLimits)
{
    LoopRig loop;
    ASSERT_TRUE (loop.loaded);
    const auto start = loop.startLoop (0.25);
    EXPECT_TRUE (loop.rig->isLoopActive (0));
    EXPECT_EQ (loop.loopLength(), 22050);

    // The knob shortens at once, down to sampleRate / 10000 samples.
    loop.rig->setLoopLengthKnob (0, 0.0);
    loop.rig.run (1);
    EXPECT_EQ (loop.loopLength(), 4);
    EXPECT_EQ (loop.rig->getLoopStart (0), start);

    // A stop first, then a long loop is cut to the buffer.
    loop.rig->setLoopActive (0, false, false);
    loop.rig.run (256);
    EXPECT_FALSE (loop.rig->isLoopActive (0));
    loop.startLoop (100.0);
    EXPECT_EQ (loop.loopLength(), 524288);
}

TEST (EngineLoop, ReversedDeckMeasuresTheBarAtTheEffectTempo)
{
    LoopRig loop;
    ASSERT_TRUE (loop.loaded);
    loop.rig.setDeckSpeed (0, -1.0);
    loop.rig->setFXTempo (60.0);
    loop.rig.run (256);
    loop.startLoop (0.25);
    // A bar of 176,400 samples; the loop runs backwards through the track.
    EXPECT_EQ (loop.rig->getLoopStart (0) - loop.rig->getLoopEnd (0), 44100);
}

TEST (EngineLoop, StoppedDeckLoopsItsInputAtTheEffectTempo)
{
    // A THRU channel on a stopped deck: the bar comes from the effect tempo.
    EngineRig rig;
    const auto noise = test::noiseBuffer (100000, 0.5f, 7);
    rig.input = [&noise] (juce::int64 s, int) { return noise[(size_t) (s % (juce::int64) noise.size())]; };
    rig.playThru (0, 0);
    rig->setMainOutput (0);
    rig.setDeckSpeed (0, 0.0);
    rig->setFXTempo (120.0);

    rig->setLoopBeats (0, 0.25);
    rig->setLoopActive (0, true, false);
    const auto out = rig.run (22050 * 4)[0];

    // The output repeats every 22,050 samples (a quarter of an 88,200-sample bar).
    EXPECT_LT (test::repeatError (out, 2 * 22050 + 100, 3 * 22050, 22050), 1e-3f);
    EXPECT_GT (test::repeatError (out, 2 * 22050 + 100, 3 * 22050, 22049), 0.1f);
}

TEST (EngineLoop, ShrinkingLateInALoopNeverOverruns)
{
    LoopRig loop;
    ASSERT_TRUE (loop.loaded);
    const auto start = loop.startLoop (4.0); // 352,800 samples
    ASSERT_EQ (loop.loopLength(), 352800);
    loop.rig.run (352800 + 300000);

    loop.rig->setLoopLengthKnob (0, 0.0);
    for (int i = 0; i < 50; ++i)
    {
        loop.rig.run (3000);
        const auto shown = loop.rig->getPlayPosition (0);
        ASSERT_GE (shown, start);
        ASSERT_LT (shown, start + 4);
    }
    loop.rig->setLoopLengthKnob (0, 1.0);
    loop.rig.run (600000);
    EXPECT_TRUE (loop.rig->isLoopActive (0));
}

TEST (EngineLoop, StopReturnsTheTrackToTheLoopsPlace)
{
    // Each loop is stopped `playedFor` samples after it was taken, then runs
    // 1000 samples more: where does the track play?
    const struct
    {
        double beats;
        bool keepRunning;
        int playedFor;
        juce::int64 expected; // track frames after the loop's start
    } cases[] = {
        { 1.0, false, 88200 + 10000, 11000 },           // in the second pass: on from the loop's place
        { 1.0, true, 88200 + 10000, 88200 + 10999 },    // the track went on under the loop
        { 1.0, false, 30000, 30999 },                   // during the first pass nothing was replayed
        { 0.25, false, 50000, 50000 - 44100 + 999 },    // shorter than half a bar: the half-bar grid
    };
    for (const auto& c : cases)
    {
        LoopRig loop;
        ASSERT_TRUE (loop.loaded);
        const auto start = loop.startLoop (c.beats, c.keepRunning);
        loop.rig.run (c.playedFor - 1);
        loop.rig->setLoopActive (0, false, false);
        loop.rig.run (1000);
        EXPECT_EQ (loop.rig->getPlayPosition (0), start + c.expected) << c.beats << " beats, " << c.playedFor;
        EXPECT_FALSE (loop.rig->isLoopActive (0));
    }
}

TEST (EngineLoop, LoadingATrackClearsTheLoopAndSeeksWaitForIt)
{
    LoopRig loop;
    ASSERT_TRUE (loop.loaded);
    const auto start = loop.startLoop (1.0);

    // No seek while looping.
    loop.rig->setPositionSeconds (0, 30.0f);
    loop.rig.run (100);
    EXPECT_LT (loop.rig->getPlayPosition (0), start + 200);

    const auto track = loop.rig.writeTrack ("u.wav", 44100.0, 1.0, test::sineSignal (220.0, 44100.0, 0.5f));
    ASSERT_TRUE (loop.rig.loadAndRestart (0, track, 120.0));
    loop.rig.run (256);
    EXPECT_FALSE (loop.rig->isLoopActive (0));
    EXPECT_EQ (loop.rig->getPlayPosition (0), -44100 + 255);
}

#include "EngineRig.h"
#include "support/SignalMeasures.h"
#include "support/TimecodeSignal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

using namespace zund;
using test::EngineRig;
using test::TimecodeSignal;

namespace
{
constexpr double wordSeconds = TimecodeSignal::secondsPerWord;

/** Turntables playing timecode records into the device inputs: record k on
    inputs 2k and 2k + 1, rendered as the rig asks for samples. */
class Turntables
{
public:
    Turntables (double sampleRate, int count)
    {
        for (int k = 0; k < count; ++k)
            decks.push_back (std::make_unique<Deck> (sampleRate));
    }

    TimecodeSignal& operator[] (int k) { return decks[(size_t) k]->record; }

    /** The record position under the needle now. */
    double needle (int k) { return (*this)[k].getPosition(); }

    float sample (juce::int64 index, int channel)
    {
        if (channel / 2 >= (int) decks.size())
            return 0.0f;
        auto& deck = *decks[(size_t) (channel / 2)];
        while ((juce::int64) deck.left.size() <= index)
        {
            float l = 0.0f, r = 0.0f;
            deck.record.render (&l, &r, 1);
            deck.left.push_back (l);
            deck.right.push_back (r);
        }
        return (channel % 2 == 0 ? deck.left : deck.right)[(size_t) index];
    }

    EngineRig::InputSignal input()
    {
        return [this] (juce::int64 index, int channel) { return sample (index, channel); };
    }

private:
    struct Deck
    {
        explicit Deck (double rate) : record (rate) {}
        TimecodeSignal record;
        std::vector<float> left, right;
    };
    std::vector<std::unique_ptr<Deck>> decks;
};

/** Channel 0 follows deck 0 on device inputs 0 and 1 and plays into the main output. */
void routeDeckToChannel (EngineRig& rig, Turntables& turntables)
{
    rig.input = turntables.input();
    rig->setDeckInput (0, 0);
    rig->setMainOutput (0);
}

/** How far, in record seconds, the channel plays behind the needle, beyond
    the two seconds that absolute mode keeps. */
double lagBehindNeedle (EngineRig& rig, Turntables& turntables, double fileRate)
{
    const double trackSeconds = (double) rig->getPlayPosition (0) / fileRate;
    return turntables.needle (0) - 2.0 - trackSeconds;
}

}

TEST (EngineTimecode, RelativeModePlaysTheTrackAtTheRecordSpeed)
{
    EngineRig rig;
    Turntables turntables (44100.0, 1);
    routeDeckToChannel (rig, turntables);
    const auto track = rig.writeTrack ("sine.wav", 44100.0, 6.0, test::sineSignal (441.0, 44100.0, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (0, track));

    // Needle down at 20 s: the channel waits a second before the track for
    // the first trusted word.
    turntables[0].setPosition (20.0);
    rig.run (2000);
    EXPECT_EQ (rig->getPlayPosition (0), -44100);

    rig.run (20050);
    EXPECT_FALSE (rig->hasNoSignal (0));
    EXPECT_EQ (rig->getDecoderSpeed (0), 1.0);
    EXPECT_EQ (rig.advanceOver (0, 44100), 44100);

    // Past the pre-roll the track sounds at its own pitch.
    const auto out = rig.run (22050)[0];
    EXPECT_GT (rig->getPlayPosition (0), 22050);
    EXPECT_NEAR (test::toneOf (out, 0, out.size(), 441.0, 44100.0), 0.5, 0.02);

    // Half speed, with the zero lock out of the way: half the frames, an octave down.
    rig->setVirtualZeroLockRange (0.0);
    turntables[0].setSpeed (0.5);
    rig.run (11025);
    EXPECT_NEAR ((double) rig.advanceOver (0, 44100), 22050.0, 10.0);
    const auto slow = rig.run (22050)[0];
    EXPECT_NEAR (test::toneOf (slow, 0, slow.size(), 220.5, 44100.0), 0.5, 0.02);
    EXPECT_LT (test::toneOf (slow, 0, slow.size(), 441.0, 44100.0), 0.02);
}

TEST (EngineTimecode, AbsoluteModeLandsTwoSecondsBeforeTheDecodedPosition)
{
    // The track's rate differs from the device's: positions go by the track's frames.
    EngineRig rig;
    Turntables turntables (44100.0, 1);
    routeDeckToChannel (rig, turntables);
    const auto track = rig.writeTrack ("slow.wav", 22050.0, 8.0, test::sineSignal (441.0, 22050.0, 0.5f));
    rig->setChannelAbsolute (0, true);
    ASSERT_TRUE (rig.loadAndRestart (0, track));

    // The channel anchors on the word the needle has just passed, then runs with it.
    turntables[0].setPosition (6.0);
    rig.run (22050);
    EXPECT_NEAR (lagBehindNeedle (rig, turntables, 22050.0), wordSeconds, 0.002);
    rig.run (44100);
    EXPECT_NEAR (lagBehindNeedle (rig, turntables, 22050.0), wordSeconds, 0.002);

    // Seeks do not apply while the record gives the position.
    rig->setPositionSeconds (0, 1.0f);
    rig.run (4410);
    EXPECT_NEAR (lagBehindNeedle (rig, turntables, 22050.0), wordSeconds, 0.002);

    // A needle drop re-anchors; a step within the tolerance does not (0.4 s
    // is a whole number of carrier cycles, so the speed runs on undisturbed).
    turntables[0].setPosition (30.0);
    rig.run (13230);
    EXPECT_NEAR (lagBehindNeedle (rig, turntables, 22050.0), wordSeconds, 0.002);
    turntables[0].setPosition (turntables.needle (0) + 0.4);
    rig.run (13230);
    EXPECT_NEAR (lagBehindNeedle (rig, turntables, 22050.0), wordSeconds + 0.4, 0.002);
}

TEST (EngineTimecode, AbsolutePositionIsTakenAfreshWhenTheChannelNeedsIt)
{
    EngineRig rig;
    Turntables turntables (44100.0, 1);
    routeDeckToChannel (rig, turntables);
    const auto track = rig.writeTrack ("sine.wav", 44100.0, 8.0, test::sineSignal (441.0, 44100.0, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (0, track));
    turntables[0].setPosition (6.0);
    rig.run (22050);

    // Switched to absolute while the record runs in sequence: the next word anchors.
    EXPECT_GT (lagBehindNeedle (rig, turntables, 44100.0), 4.0);
    rig->setChannelAbsolute (0, true);
    rig.run (4410);
    EXPECT_NEAR (lagBehindNeedle (rig, turntables, 44100.0), wordSeconds, 0.002);

    // Paused while the record runs on, then played again.
    rig->setPlaying (0, false);
    rig.run (22050);
    EXPECT_GT (lagBehindNeedle (rig, turntables, 44100.0), 0.4);
    rig->setPlaying (0, true);
    rig.run (4410);
    EXPECT_NEAR (lagBehindNeedle (rig, turntables, 44100.0), wordSeconds, 0.002);

    // A new track waits silent for its restart, then picks the record up where it is.
    ASSERT_TRUE (rig->loadTrack (0, track, 120.0));
    rig.run (22050);
    EXPECT_GT (lagBehindNeedle (rig, turntables, 44100.0), 0.4);
    rig->timerCallback();
    rig.run (4410);
    EXPECT_NEAR (lagBehindNeedle (rig, turntables, 44100.0), wordSeconds, 0.002);
}

TEST (EngineTimecode, EachDeckSteersItsOwnChannelEvenBackwards)
{
    EngineRig rig (4, 2);
    Turntables turntables (44100.0, 2);
    rig.input = turntables.input();
    rig->setDeckInput (0, 0);
    rig->setDeckInput (1, 2);
    const auto track = rig.writeTrack ("sine.wav", 44100.0, 6.0, test::sineSignal (441.0, 44100.0, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (0, track));
    ASSERT_TRUE (rig.loadAndRestart (1, track));
    rig->setPositionSeconds (1, 5.0f);

    turntables[0].setPosition (20.0);
    turntables[1].setPosition (40.0);
    turntables[1].setSpeed (-1.0);
    rig.run (22050);
    EXPECT_EQ (rig->getDecoderSpeed (0), 1.0);
    EXPECT_EQ (rig->getDecoderSpeed (1), -1.0);
    EXPECT_EQ (rig->getSpeedState (1), 2); // backwards counts as scratching

    const auto before0 = rig->getPlayPosition (0), before1 = rig->getPlayPosition (1);
    rig.run (44100);
    EXPECT_EQ (rig->getPlayPosition (0) - before0, 44100);
    EXPECT_EQ (rig->getPlayPosition (1) - before1, -44100);

    // Deck 2 turns forwards again.
    turntables[1].setSpeed (1.0);
    rig.run (11025);
    EXPECT_EQ (rig->getDecoderSpeed (1), 1.0);
    EXPECT_EQ (rig.advanceOver (1, 44100), 44100);
}

TEST (EngineTimecode, NoSignalStopsTheChannel)
{
    EngineRig rig;
    Turntables turntables (44100.0, 1);
    routeDeckToChannel (rig, turntables);
    const auto track = rig.writeTrack ("sine.wav", 44100.0, 6.0, test::sineSignal (441.0, 44100.0, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (0, track));

    // Needle up from the start; channel 2's deck has no input pair at all.
    turntables[0].setLifted (true);
    rig.run (256);
    EXPECT_EQ (rig.advanceOver (0, 22050), 0);
    EXPECT_TRUE (rig->hasNoSignal (0));
    EXPECT_EQ (rig->getDecoderSpeed (0), 0.0);
    EXPECT_TRUE (rig->hasNoSignal (1));

    turntables[0].setLifted (false);
    turntables[0].setPosition (10.0);
    rig.run (66150); // locks on and runs past the pre-roll
    EXPECT_FALSE (rig->hasNoSignal (0));
    EXPECT_GT (rig->getPlayPosition (0), 0);

    // Needle up while playing: the channel stops within the time-out and falls silent.
    turntables[0].setLifted (true);
    rig.run (44100 / 33 + 64);
    EXPECT_TRUE (rig->hasNoSignal (0));
    EXPECT_EQ (rig->getDecoderSpeed (0), 0.0);
    EXPECT_EQ (rig.advanceOver (0, 22050), 0);
    const auto out = rig.run (4410)[0];
    EXPECT_LT (test::peakOf (out, 0, out.size()), 1e-3f);
}

TEST (EngineTimecode, FollowsTheRecordAt48kHz)
{
    EngineRig rig;
    rig->setSampleRate (48000);
    Turntables turntables (48000.0, 1);
    routeDeckToChannel (rig, turntables);
    const auto track = rig.writeTrack ("sine.wav", 44100.0, 8.0, test::sineSignal (441.0, 44100.0, 0.5f));
    ASSERT_TRUE (rig.loadAndRestart (0, track));

    turntables[0].setPosition (12.0);
    rig.run (24000);
    EXPECT_FALSE (rig->hasNoSignal (0));
    EXPECT_NEAR (rig->getDecoderSpeed (0), 1.0, 0.01);

    // A second of the record is a second of the track.
    EXPECT_NEAR ((double) rig.advanceOver (0, 48000), 44100.0, 20.0);
    const auto out = rig.run (24000)[0];
    EXPECT_NEAR (test::toneOf (out, 0, out.size(), 441.0, 48000.0), 0.5, 0.02);

    rig->setChannelAbsolute (0, true);
    rig.run (4800);
    EXPECT_NEAR (lagBehindNeedle (rig, turntables, 44100.0), wordSeconds, 0.003);
}

TEST (EngineTimecode, DecoderStateIsReadAndResyncedFromAnotherThread)
{
    EngineRig rig;
    Turntables turntables (44100.0, 1);
    routeDeckToChannel (rig, turntables);
    turntables[0].setPosition (10.0);

    std::atomic<bool> stop { false };
    std::thread audio ([&] {
        while (! stop.load())
            rig.run (256);
    });

    bool locked = false;
    for (int tries = 0; tries < 5000 && ! locked; ++tries)
    {
        rig->setChannelAbsolute (0, tries % 2 == 0);
        rig->setPlaying (0, tries % 3 != 0);
        locked = ! rig->hasNoSignal (0) && rig->getDecoderSpeed (0) == 1.0;
        juce::Thread::sleep (1);
    }
    stop = true;
    audio.join();
    EXPECT_TRUE (locked);
}

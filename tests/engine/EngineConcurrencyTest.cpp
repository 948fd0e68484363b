#include "EngineRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

using namespace zund;
using test::EngineRig;

namespace
{
// Plays blocks on its own thread (paced at a few times real time) and keeps the loudest sample since the last reset.
class AudioThread
{
public:
    explicit AudioThread (EngineRig& rigToRun)
        : rig (rigToRun), thread ([this] { run(); })
    {
    }

    ~AudioThread()
    {
        stop = true;
        thread.join();
    }

    juce::int64 blocks() const { return blockCount.load(); }
    float takeLoudest() { return loudest.exchange (0.0f); }

    bool waitForBlocks (juce::int64 count)
    {
        for (int tries = 0; tries < 10000 && blocks() < count; ++tries)
            juce::Thread::sleep (1);
        return blocks() >= count;
    }

private:
    void run()
    {
        while (! stop.load())
        {
            const float peak = test::peakOf (rig.run (256)[0], 0, 256);
            float seen = loudest.load();
            while (peak > seen && ! loudest.compare_exchange_weak (seen, peak))
            {
            }
            ++blockCount;
            // A few times real time, so that the fill thread keeps up.
            juce::Thread::sleep (1);
        }
    }

    EngineRig& rig;
    std::atomic<bool> stop { false };
    std::atomic<juce::int64> blockCount { 0 };
    std::atomic<float> loudest { 0.0f };
    std::thread thread;
};
}

TEST (EngineConcurrency, LoadsAgainstProcessingNeverPlayTheNewTrackEarly)
{
    // The channel's own pair: the main output would also carry the decaying
    // tail of the master filter and EQ, far below hearing but not zero.
    EngineRig rig;
    rig->setChannelOutput (0, 0);
    rig.setDeckSpeed (0, 1.0);
    const juce::File tracks[] = {
        rig.writeTrack ("a.wav", 44100.0, 3.0, test::sineSignal (440.0, 44100.0, 0.5f)),
        rig.writeTrack ("b.wav", 44100.0, 3.0, test::sineSignal (330.0, 44100.0, 0.25f)),
    };

    AudioThread audio (rig);
    for (int round = 0; round < 4; ++round)
    {
        ASSERT_TRUE (rig->loadTrack (0, tracks[round % 2], 120.0));

        // From the load until the restart the channel is silent.
        const auto loaded = audio.blocks();
        ASSERT_TRUE (audio.waitForBlocks (loaded + 2));
        audio.takeLoudest();
        ASSERT_TRUE (audio.waitForBlocks (loaded + 40));
        EXPECT_EQ (audio.takeLoudest(), 0.0f) << round;

        // After the restart and its second of pre-roll, the new track plays.
        rig->timerCallback();
        bool heard = false;
        for (int tries = 0; tries < 2000 && ! heard; ++tries)
        {
            heard = audio.takeLoudest() > 0.2f;
            juce::Thread::sleep (2);
        }
        EXPECT_TRUE (heard) << round;
    }
}

TEST (EngineConcurrency, EffectSettersRaceTypeChangesSafely)
{
    // The message thread swaps effect types while a MIDI thread turns the
    // effect knobs and the audio thread runs the effect on channel 0.
    EngineRig rig;
    rig.input = test::sineInput (421.0, 0.3f);
    rig.playThru (0, 0);
    rig->setMainOutput (0);
    rig->setFXChannel (0);
    rig->setFXOn (true);
    rig->setFXMix (0.5f);

    AudioThread audio (rig);
    std::atomic<bool> swapping { true };
    std::atomic<int> knobTurns { 0 };
    std::thread midi ([&] {
        for (int i = 0; swapping.load(); ++i)
        {
            const float x = (float) (i % 128) / 127.0f;
            rig->setFXDepth (x);
            rig->setFXMix (x);
            rig->setFXBeatLength (0.25 + x);
            rig->setFXTempo (60.0 + 120.0 * x);
            rig->setFXOn (i % 3 != 0);
            ++knobTurns;
        }
    });

    for (int round = 0; round < 3; ++round)
    {
        for (int type = 0; type <= 9; ++type) // 9 makes no effect
        {
            rig->setFXType (type);
            const auto reached = audio.blocks();
            ASSERT_TRUE (audio.waitForBlocks (reached + 2));
        }
    }
    swapping = false;
    midi.join();

    EXPECT_GT (knobTurns.load(), 0);
    // The engine plays on with the last effect.
    rig->setFXOn (false);
    const auto reached = audio.blocks();
    ASSERT_TRUE (audio.waitForBlocks (reached + 40));
    audio.takeLoudest();
    ASSERT_TRUE (audio.waitForBlocks (reached + 50));
    EXPECT_GT (audio.takeLoudest(), 0.25f);
}

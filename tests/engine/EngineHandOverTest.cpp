// Hand-overs between the control threads and the audio thread: what the
// setters leave behind is what the audio thread runs, whatever the timing.

#include "EngineRig.h"
#include "engine/PendingSpeedChange.h"
#include "engine/XYInputListener.h"
#include "engine/effects/EffectFactory.h"
#include "support/SignalMeasures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

using namespace zund;
using test::EngineRig;
using namespace std::chrono_literals;

namespace
{
// Runs blocks of the rig on its own thread, as a device would, until destroyed.
class BlockRunner
{
public:
    explicit BlockRunner (EngineRig& rig)
        : thread ([this, &rig] {
              while (! stop.load())
              {
                  rig.run (256);
                  ++blocks;
              }
          })
    {
    }

    ~BlockRunner()
    {
        stop = true;
        thread.join();
    }

    std::atomic<long> blocks { 0 };

private:
    std::atomic<bool> stop { false };
    std::thread thread;
};

// Calls both functions on two threads released at the same moment.
template <typename A, typename B>
void callTogether (A&& a, B&& b)
{
    std::atomic<int> ready { 0 };
    auto start = [&ready] {
        ++ready;
        while (ready.load() < 2)
        {
        }
    };
    std::thread other ([&] {
        start();
        b();
    });
    start();
    a();
    other.join();
}

// Channel 0 plays the same sine on both sides of deck 0 into the main pair.
void playSineThru (EngineRig& rig)
{
    rig.input = [] (juce::int64 sample, int) { return 0.5f * (float) std::sin ((double) sample * 0.05); };
    rig->setDeckInput (0, 0);
    rig->setThru (0, true);
    rig->setMainOutput (0);
}
}

TEST (EngineHandOver, RemovedXYViewIsNoLongerFed)
{
    // The preferences panel deletes its views right after taking them out.
    struct SlowView : XYInputListener
    {
        std::atomic<bool> inside { false };
        std::atomic<int> calls { 0 };
        void addSamples (const float*, const float*, int) override
        {
            inside = true;
            ++calls;
            std::this_thread::sleep_for (1ms);
            inside = false;
        }
    };

    EngineRig rig;
    rig.xyViewsVisible = true;
    std::vector<SlowView> views (20);
    BlockRunner audio (rig);
    for (auto& view : views)
    {
        rig->setXYView (1, &view);
        while (view.calls.load() < 2)
            std::this_thread::yield();
        rig->setXYView (1, nullptr);
        EXPECT_FALSE (view.inside.load()) << "the view was still being fed when its removal returned";
        const int calls = view.calls.load();
        const long reached = audio.blocks.load();
        while (audio.blocks.load() < reached + 3)
            std::this_thread::yield();
        EXPECT_EQ (view.calls.load(), calls);
    }
}

TEST (EngineHandOver, EffectTypeNamesTheEffectThatRuns)
{
    // Two threads choose different effects at once. Afterwards choosing the
    // type that the engine has stored must leave that effect running: here the
    // pass-through, so both sides stay equal (the Pan would part them).
    EngineRig rig;
    playSineThru (rig);
    rig->setFXOn (true);
    rig->setFXMix (1.0f);
    rig->setFXDepth (1.0f);

    int mismatches = 0;
    for (int round = 0; round < 60; ++round)
    {
        rig->setFXType (echoEffect); // its 8 MB take a while to free after the swap
        callTogether ([&] { rig->setFXType (thruEffect); }, [&] { rig->setFXType (panEffect); });
        rig->setFXType (thruEffect);
        const auto out = rig.run (2048);
        for (size_t i = 1024; i < 2048; ++i)
            if (out[0][i] != out[1][i])
            {
                ++mismatches;
                break;
            }
    }
    EXPECT_EQ (mismatches, 0);
}

TEST (EngineHandOver, CrossfaderGainsFollowTheLastPositionAndSides)
{
    // One thread moves the crossfader while another assigns the sides. Channel
    // 0 is side A or no side, channel 1 side B: full level with channel 0 on no
    // side or the fader at A; silent with channel 0 on A and the fader at B.
    EngineRig rig;
    playSineThru (rig);
    rig->setCrossfaderSideB (1);

    int wrong = 0;
    for (int round = 0; round < 500; ++round)
    {
        const bool towardsB = round % 2 == 1;
        callTogether ([&] { rig->setCrossfaderPosition (towardsB ? 1.0f : 0.0f); },
                      [&] { rig->setCrossfaderSideA (towardsB ? 0 : -1); });
        const auto out = rig.run (512);
        const float peak = test::peakOf (out[0].data() + 384, 128);
        if ((peak > 0.25f) == towardsB)
            ++wrong;
    }
    EXPECT_EQ (wrong, 0);
}

TEST (EngineHandOver, SpeedChangesInOneChunkApplyInOrder)
{
    // Speed 0.8 and smoothed speed 0.5 before the chunk; each change sets both
    // from the old values or zero.
    using Change = PendingSpeedChange::Change;
    struct Case
    {
        std::vector<Change> posted;
        double speed, smoothed;
    };
    const Case cases[] = {
        { {}, 0.8, 0.5 },
        { { Change::stop }, 0.0, 0.5 },
        { { Change::holdSpeed }, 0.8, 0.8 },
        { { Change::holdSmoothedSpeed }, 0.5, 0.5 },
        { { Change::stop, Change::holdSpeed }, 0.0, 0.0 },
        { { Change::holdSpeed, Change::stop }, 0.0, 0.8 },
        { { Change::holdSmoothedSpeed, Change::stop }, 0.0, 0.5 },
        { { Change::stop, Change::holdSmoothedSpeed }, 0.5, 0.5 },
        { { Change::holdSpeed, Change::stop, Change::holdSmoothedSpeed, Change::holdSpeed }, 0.8, 0.8 },
    };
    for (const auto& c : cases)
    {
        PendingSpeedChange pending;
        for (auto change : c.posted)
            pending.post (change);
        double speed = 0.8, smoothed = 0.5;
        pending.apply (speed, smoothed);
        EXPECT_EQ (speed, c.speed) << c.posted.size() << " changes";
        EXPECT_EQ (smoothed, c.smoothed) << c.posted.size() << " changes";

        // Taken: the next chunk changes nothing.
        pending.apply (speed, smoothed);
        EXPECT_EQ (speed, c.speed);
        EXPECT_EQ (smoothed, c.smoothed);
    }
}

TEST (EngineHandOver, ChannelMovedOntoADeckThatIsTakenOverStops)
{
    // Channel 1 plays at full speed from deck 1, is moved onto deck 0 (it stops)
    // and channel 0 takes the control of deck 0 before the next chunk (channel 1
    // keeps its speed frozen): it must stay stopped, not run on at full speed.
    EngineRig rig;
    rig.setDeckSpeed (0, 1.0);
    rig.setDeckSpeed (1, 1.0);
    rig.run (1024);
    ASSERT_DOUBLE_EQ (rig->getPitch (1), 1.0);

    rig->setChannelInputDeck (1, 0);
    rig->takeControl (0);
    rig.run (256);
    EXPECT_EQ (rig->getPitch (1), 0.0);
    EXPECT_EQ (rig->getCurrentBpm (1), 0.0);
    EXPECT_TRUE (rig->isPitchLocked (1));
}

TEST (EngineHandOver, PlugInIsPreparedWhileTheAudioRunsOn)
{
    // A plug-in that takes long to prepare must not hold up the audio thread.
    // (An empty graph is a complete stereo processor to build it on.)
    struct SlowToPrepare : juce::AudioProcessorGraph
    {
        std::atomic<long>* blocks = nullptr;
        long blocksWhilePreparing = -1;
        void prepareToPlay (double rate, int blockSize) override
        {
            const long before = blocks->load();
            std::this_thread::sleep_for (200ms);
            blocksWhilePreparing = blocks->load() - before;
            juce::AudioProcessorGraph::prepareToPlay (rate, blockSize);
        }
    };

    EngineRig rig;
    playSineThru (rig);
    SlowToPrepare plugin;
    {
        BlockRunner audio (rig);
        plugin.blocks = &audio.blocks;
        while (audio.blocks.load() < 2)
            std::this_thread::yield();
        ASSERT_TRUE (rig->setPlugin (Engine::masterSet, 0, &plugin));
    }
    EXPECT_GT (plugin.blocksWhilePreparing, 10);
    ASSERT_TRUE (rig->setPlugin (Engine::masterSet, 0, nullptr));
}

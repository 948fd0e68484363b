#include "ui/master/BeatCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using namespace zund;

namespace
{
// A counter on a clock the test moves, ticked by hand: the test never runs the
// message loop, so the real timer's ticks never come.
struct Counter
{
    std::atomic<juce::uint32> time;
    BeatCounter counter;

    explicit Counter (juce::uint32 start) : time (start), counter ([this] { return time.load(); })
    {
        counter.stopTimer();
    }

    // Taps at these clock times, each after a tick at that time (unless the tap
    // comes before any tick); returns the tempo after every tap.
    std::vector<float> tapAt (const std::vector<juce::uint32>& times, bool tickFirst = true)
    {
        std::vector<float> tempos;
        for (auto t : times)
        {
            time = t;
            if (tickFirst)
                counter.timerCallback();
            counter.tap();
            tempos.push_back (counter.getBpm());
        }
        return tempos;
    }
};

struct TapCase
{
    const char* what;
    juce::uint32 start;
    std::vector<juce::uint32> taps;
    float expectedBpm;
};

class BeatCounterTempo : public ::testing::TestWithParam<TapCase>
{
};

TEST_P (BeatCounterTempo, averagesTheWholeSeries)
{
    const auto& c = GetParam();
    Counter rig (c.start);
    EXPECT_FLOAT_EQ (rig.counter.getBpm(), 120.0f) << "before any tap";
    const auto tempos = rig.tapAt (c.taps);
    EXPECT_NEAR (tempos.back(), c.expectedBpm, 0.01f) << c.what;
}

const juce::uint32 nearWrap = 0xffffffffu - 699u; // the millisecond counter wraps within the series

INSTANTIATE_TEST_SUITE_P (
    Taps, BeatCounterTempo,
    ::testing::Values (TapCase { "four taps 500 ms apart", 0, { 0, 500, 1000, 1500 }, 120.0f },
                       TapCase { "average, not the last interval", 1000, { 1000, 1400, 2000 }, 120.0f },
                       TapCase { "two taps", 7000, { 7000, 7400 }, 150.0f },
                       TapCase { "a single tap keeps the tempo", 0, { 300 }, 120.0f },
                       TapCase { "across the counter's wrap", nearWrap, { nearWrap, nearWrap + 500, nearWrap + 1250 },
                                 96.0f }));

TEST (BeatCounter, aPauseStartsANewSeriesThatKeepsTheTempoUntilItsSecondTap)
{
    Counter rig (0);
    rig.tapAt ({ 0, 400 }); // 150 BPM
    for (juce::uint32 t = 400; t <= 1900; t += 10)
    {
        rig.time = t;
        rig.counter.timerCallback();
    }
    rig.time = 1910;
    rig.counter.timerCallback(); // more than 1.5 s after the last tap

    const auto tempos = rig.tapAt ({ 1920, 2420 });
    EXPECT_NEAR (tempos[0], 150.0f, 0.01f) << "first tap of the new series";
    EXPECT_NEAR (tempos[1], 120.0f, 0.01f) << "measured from the new series only";
}

TEST (BeatCounter, secondTapInTheSameTickCountsAnIntervalButLeavesTheTempo)
{
    Counter rig (0);
    rig.tapAt ({ 0 });
    rig.counter.tap(); // no tick in between: same time as the first
    EXPECT_FLOAT_EQ (rig.counter.getBpm(), 120.0f);

    const auto tempos = rig.tapAt ({ 750 });
    EXPECT_NEAR (tempos.back(), 160.0f, 0.01f) << "two intervals in 750 ms";
}

TEST (BeatCounter, tapBeforeTheFirstTickIsTimedFromConstruction)
{
    Counter rig (5000);
    rig.tapAt ({ 5000 }, false);
    const auto tempos = rig.tapAt ({ 5400 });
    EXPECT_NEAR (tempos.back(), 150.0f, 0.01f);
}

// The 10 ms ticks run only while a series does: an idle counter wakes nothing.
TEST (BeatCounter, ticksOnlyWhileASeriesRunsAndTimesANewSeriesFromItsOwnFirstTap)
{
    Counter rig (0);
    EXPECT_FALSE (rig.counter.isTimerRunning()) << "before any tap";

    rig.tapAt ({ 0, 400 }); // 150 BPM
    EXPECT_TRUE (rig.counter.isTimerRunning()) << "during a series";
    for (juce::uint32 t = 400; t <= 2000; t += 10)
    {
        rig.time = t;
        rig.counter.timerCallback();
    }
    EXPECT_FALSE (rig.counter.isTimerRunning()) << "after the series ended";

    // A minute later, with no tick in between: the first tap reads the clock itself.
    rig.time = 60000;
    rig.counter.tap();
    EXPECT_TRUE (rig.counter.isTimerRunning());
    EXPECT_NEAR (rig.counter.getBpm(), 150.0f, 0.01f) << "the first tap keeps the tempo";
    const auto tempos = rig.tapAt ({ 60500, 61000 });
    EXPECT_NEAR (tempos.back(), 120.0f, 0.01f) << "timed from the new series' first tap";
}

TEST (BeatCounter, tapsFromAnotherThreadWhileTheMessageThreadTicksAndReads)
{
    Counter rig (0);
    std::atomic<bool> done { false };

    std::thread midi ([&]
    {
        for (int i = 0; i < 2000; ++i)
            rig.counter.tap();
        done = true;
    });

    float lowest = 1.0e9f, highest = 0.0f;
    for (juce::uint32 t = 0; ! done; t += 10)
    {
        rig.time = t;
        rig.counter.timerCallback();
        const float bpm = rig.counter.getBpm();
        lowest = std::min (lowest, bpm);
        highest = std::max (highest, bpm);
    }
    midi.join();

    EXPECT_GT (lowest, 0.0f);
    EXPECT_TRUE (std::isfinite (highest));
}
}

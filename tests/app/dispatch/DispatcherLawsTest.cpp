// The dispatcher's value laws, each measured where the user meets it: the
// engine's loop, speed and switches, the tone on the output, and the lamps of
// the controller.

#include "DispatchRig.h"
#include "ui/panels/ControlIds.h"
#include "ui/widgets/KelKnob.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace zund;
using namespace zund::test;
using namespace zund::ControlIds;
using Entry = FeedbackLog::Entry;

namespace
{
class DispatcherLaws : public ::testing::Test
{
protected:
    /** The centre of cell `index` of channel c's loop length grid (2 rows of 4). */
    juce::Point<int> loopCell (int c, int index)
    {
        auto& grid = rig.strip (c).getLoopSamplerContainer().getLengthGrid();
        const int w = grid.getWidth() / 4, h = grid.getHeight() / 2;
        return { (index % 4) * w + w / 2, (index / 4) * h + h / 2 };
    }

    juce::int64 loopFrames (int c) { return rig.engine().getLoopEnd (c) - rig.engine().getLoopStart (c); }

    DispatchRig rig;
};

// At 120 BPM and speed 1.0 a bar is two seconds.
constexpr double barFrames = 88200.0;
}

//==============================================================================
// The loop sampler.

TEST_F (DispatcherLaws, TheLoopGridGivesBarsAndAdjustScalesThemAtOnce)
{
    ASSERT_TRUE (rig.loadPlayingTrack (1));
    rig.process (2 * 44100);
    auto& adjust = rig.strip (1).getLoopSamplerContainer().getAdjustKnob();

    struct Case
    {
        int cell;
        double bars;
        float adjust;
    };
    const Case cases[] = {
        { 0, 2.0, 1.0f },     // "2/1"
        { 1, 1.0, 1.0f },     // "1/1"
        { 3, 0.5, 1.0f },     // "1/2"
        { 4, 1.0 / 32, 1.0f }, // "1/32"
        { 7, 0.25, 1.0f },    // "1/4"
        { 7, 0.25, 0.6f },    // ADJ. scales by (2^(5v) - 1) / 31
        { 2, 0.75, 0.2f },    // "3/4"
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.cell);
        rig.click (of (1, loopLength), loopCell (1, c.cell));
        rig.click (of (1, cue1));
        rig.process (512);
        ASSERT_TRUE (rig.engine().isLoopActive (1));
        EXPECT_NEAR ((double) loopFrames (1), std::floor (c.bars * barFrames), 1.0) << "a loop starts at the cell's length";

        adjust.setValue (c.adjust, true); // a turn of ADJ. while the loop plays
        rig.process (512);
        const double factor = (std::pow (2.0, 5.0 * c.adjust) - 1.0) / 31.0;
        EXPECT_NEAR ((double) loopFrames (1), c.bars * barFrames * factor, 1.0) << c.adjust;

        rig.click (of (1, cue1));
        rig.process (4096);
        ASSERT_FALSE (rig.engine().isLoopActive (1));
    }
}

TEST_F (DispatcherLaws, EitherLoopSwitchStartsItsLoopAtFullLengthInTheEngine)
{
    ASSERT_TRUE (rig.loadPlayingTrack (1));
    rig.process (2 * 44100);
    rig.click (of (1, loopLength), loopCell (1, 3)); // "1/2"
    auto& adjust = rig.strip (1).getLoopSamplerContainer().getAdjustKnob();

    for (int cue : { cue1, cue2 })
    {
        SCOPED_TRACE (cue);
        adjust.setValue (0.2f, true); // the engine's loops are short now
        rig.click (of (1, cue));
        rig.process (512);
        EXPECT_EQ (adjust.getValue(), 1.0f);
        EXPECT_NEAR ((double) loopFrames (1), 0.5 * barFrames, 1.0) << "the knob's reset reached the engine";
        rig.click (of (1, cue));
        rig.process (4096);
    }
}

TEST_F (DispatcherLaws, CueTwoKeepsTheTrackRunningUnderItsLoopAndCueOneHoldsIt)
{
    struct Case
    {
        int channel, cue;
        bool keepsRunning;
    };
    for (const auto& c : { Case { 0, cue1, false }, Case { 1, cue2, true } })
    {
        SCOPED_TRACE (c.cue);
        ASSERT_TRUE (rig.loadPlayingTrack (c.channel));
        rig.process (2 * 44100);
        rig.click (of (c.channel, loopLength), loopCell (c.channel, 7)); // "1/4": half a second
        const float taken = rig.engine().getPositionSeconds (c.channel);

        rig.click (of (c.channel, c.cue));
        rig.process (2 * 44100);
        rig.click (of (c.channel, c.cue));
        rig.process (256);
        const float after = rig.engine().getPositionSeconds (c.channel) - taken;

        if (c.keepsRunning)
            EXPECT_NEAR (after, 2.0f, 0.05f) << "the track ran on under the loop";
        else
            EXPECT_LT (after, 1.05f) << "the track goes on from the loop's place (within its half bar)";
    }
}

//==============================================================================
// Speed, switches and EQ.

TEST_F (DispatcherLaws, TheZeroLockRangeKnobGivesTwoPercentAtFullTravel)
{
    ASSERT_TRUE (rig.loadPlayingTrack (0));
    rig.setDeckSpeed (0, 1.015); // 1.5 % fast
    auto& range = rig.addLoneWidget<KelKnob> (zeroLockRange);

    struct Case
    {
        float knob;
        double pitch;
    };
    // Inside the range the channel plays at exactly 1.0; outside, the range is
    // taken off the deck's speed.
    for (const auto& c : { Case { 1.0f, 1.0 }, Case { 0.5f, 1.005 }, Case { 0.25f, 1.010 }, Case { 0.0f, 1.015 } })
    {
        range.setValue (c.knob, true);
        rig.process (1024);
        EXPECT_NEAR (rig.engine().getPitch (0), c.pitch, 1.0e-9) << c.knob;
    }
}

TEST_F (DispatcherLaws, SwitchesSetTheEngineTheWayTheyShow)
{
    struct Case
    {
        int function;
        std::function<bool (const Engine&)> engineState;
    };
    const Case cases[] = {
        { ControlIds::play, [] (const Engine& e) { return e.isPlaying (3); } },
        { ControlIds::sync, [] (const Engine& e) { return e.isChannelSync (3); } },
        { ControlIds::absolute, [] (const Engine& e) { return e.isChannelAbsolute (3); } },
        { ControlIds::thru, [] (const Engine& e) { return e.isThru (3); } },
    };
    for (const auto& c : cases)
    {
        auto& toggle = rig.widget (of (3, c.function));
        for (int press = 0; press < 2; ++press)
        {
            rig.click (of (3, c.function));
            EXPECT_EQ (c.engineState (rig.engine()), toggle.isOn()) << c.function << " press " << press;
        }
    }
}

TEST_F (DispatcherLaws, EachEqKnobTurnsItsBandUp)
{
    rig.toneAmplitude = 0.03f; // +12 dB stays clear of the limiter
    rig.click (of (0, thru));
    struct Case
    {
        int function;
        double tone;
    };
    for (const auto& c : { Case { eqLow, 60.0 }, Case { eqMid, 1000.0 }, Case { eqHigh, 14000.0 } })
    {
        SCOPED_TRACE (c.function);
        rig.toneFrequency = c.tone;
        auto& knob = rig.widget (of (0, c.function));
        knob.setValue (0.5f, true);
        const float flat = rig.settledLevel();
        ASSERT_GT (flat, 0.5f * rig.toneAmplitude);

        knob.setValue (0.0f, true);
        EXPECT_LT (rig.settledLevel(), 0.6f * flat) << "turned down";
        knob.setValue (1.0f, true);
        EXPECT_GT (rig.settledLevel(), 1.6f * flat) << "turned up";
        knob.setValue (0.5f, true);
    }
}

//==============================================================================
// The controller's lamps.

TEST_F (DispatcherLaws, TheFilterKindFromMidiStillShowsTheKnobsItResetOnTheController)
{
    rig.fromMidi (of (1, filterKind), 1.0f); // "SVF"
    EXPECT_EQ (rig.feedback.take(),
               (std::vector<Entry> { { of (1, filterFrequency), 127 }, { of (1, filterLowPass), 127 },
                                     { of (1, filterBandPass), 0 }, { of (1, filterHighPass), 0 } }))
        << "the knobs' own changes came from MIDI too, so only these lamps tell the controller";

    rig.widget (of (1, filterLowPass)).setValue (0.3f, false);
    rig.fromMidi (of (1, filterKind), 0.0f); // "X"
    EXPECT_EQ (rig.feedback.take(),
               (std::vector<Entry> { { of (1, filterFrequency), 63 }, { of (1, filterLowPass), 38 },
                                     { of (1, filterBandPass), 0 }, { of (1, filterHighPass), 0 } }));
}

// The control dispatcher: what each control does to the engine, what goes
// back to the MIDI controller, and which thread does what.

#include "DispatchRig.h"
#include "support/UiEvents.h"
#include "ui/panels/ControlIds.h"
#include "ui/widgets/KelButton.h"
#include "ui/widgets/SelectorGrid.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <thread>

using namespace zund;
using namespace zund::test;
using Entry = FeedbackLog::Entry;

namespace
{
class Dispatcher : public ::testing::Test
{
protected:
    DispatchRig rig;
};

std::vector<Entry> onlyIds (const std::vector<Entry>& log, int first, int last)
{
    std::vector<Entry> kept;
    for (const auto& entry : log)
        if (entry.first >= first && entry.first <= last)
            kept.push_back (entry);
    return kept;
}
}

//==============================================================================
// Echoes.

TEST_F (Dispatcher, RewindByMouseEchoesZeroThenFullAndFromMidiSpringsBackEchoingOnlyZero)
{
    ASSERT_TRUE (rig.loadPlayingTrack (0));
    rig.process (2 * 44100); // past the second of pre-roll
    ASSERT_GT (rig.engine().getPositionSeconds (0), 0.5f);
    rig.feedback.take();

    auto& rewind = rig.widget (54);
    rewind.mouseDown (mouseEventAt (rewind, { 3, 3 }));
    rig.process (512);
    EXPECT_LT (rig.engine().getPositionSeconds (0), 0.05f);
    EXPECT_EQ (rig.feedback.take(), (std::vector<Entry> { { 54, 0 }, { 54, 127 } }));
    rewind.mouseUp (mouseEventAt (rewind, { 3, 3 }));
    EXPECT_EQ (rig.feedback.take(), (std::vector<Entry> { { 54, 0 } }));

    rig.process (44100);
    ASSERT_GT (rig.engine().getPositionSeconds (0), 0.5f);
    rig.fromMidi (54, 1.0f);
    rig.process (512);
    EXPECT_LT (rig.engine().getPositionSeconds (0), 0.05f);
    EXPECT_EQ (rewind.getValue(), 0.0f) << "the pad's button springs back";
    EXPECT_EQ (rig.feedback.take(), (std::vector<Entry> { { 54, 0 } }));
}

TEST_F (Dispatcher, DeckThreeOnChannelTwoLightsOnlyItsRadio)
{
    rig.click (262);
    EXPECT_EQ (rig.engine().getChannelInputDeck (2), 2);
    EXPECT_EQ (rig.feedback.take(),
               (std::vector<Entry> { { 260, 0 }, { 261, 0 }, { 262, 127 }, { 263, 0 }, { 262, 127 } }));
    auto& player = rig.strip (2).getPlayerContainer();
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ (player.getDeckButton (k).isOn(), k == 2) << k;

    // A click on the chosen deck switches its radio off; the deck stays, so
    // the radio is lit again and the controller's lamp stays lit.
    rig.click (262);
    EXPECT_EQ (rig.engine().getChannelInputDeck (2), 2);
    EXPECT_TRUE (player.getDeckButton (2).isOn());
    EXPECT_EQ (rig.feedback.valuesOf (262), (std::vector<int> { 127, 127 }));
}

TEST_F (Dispatcher, MidiInputIsNotEchoedButAMouseChangeMeanwhileIs)
{
    rig.fromMidi (152, 0.5f);
    rig.fromMidi (155, 0.0f);
    EXPECT_FALSE (rig.engine().isPlaying (1));
    EXPECT_TRUE (rig.feedback.take().empty());

    // The flag belongs to the thread applying MIDI: the message thread's own
    // change is echoed while a MIDI thread is inside its message.
    std::mutex m;
    std::condition_variable cv;
    int stage = 0;
    std::thread midiThread ([&] {
        const ControlDispatcher::ScopedValueFromMidi applying;
        std::unique_lock<std::mutex> lock (m);
        stage = 1;
        cv.notify_all();
        cv.wait (lock, [&] { return stage == 2; });
    });
    {
        std::unique_lock<std::mutex> lock (m);
        cv.wait (lock, [&] { return stage == 1; });
    }
    rig.click (155);
    EXPECT_TRUE (rig.engine().isPlaying (1));
    {
        const std::lock_guard<std::mutex> lock (m);
        stage = 2;
    }
    cv.notify_all();
    midiThread.join();
    EXPECT_EQ (rig.feedback.take(), (std::vector<Entry> { { 155, 127 } }));

    rig.outputOpen = false;
    rig.click (155);
    EXPECT_FALSE (rig.engine().isPlaying (1));
    EXPECT_TRUE (rig.feedback.take().empty()) << "no output, no echo";
}

//==============================================================================
// The loop sampler's two switches.

TEST_F (Dispatcher, CueOneWhileCueTwoLoopsSwitchesCueTwoOffAndKeepsItsOwnLoop)
{
    ASSERT_TRUE (rig.loadPlayingTrack (1));
    auto& loop = rig.strip (1).getLoopSamplerContainer();
    loop.getAdjustKnob().setValue (0.4f, false);

    rig.click (136);
    rig.process (4096);
    EXPECT_TRUE (rig.engine().isLoopActive (1));
    EXPECT_EQ (loop.getAdjustKnob().getValue(), 1.0f) << "a loop starts at its full length";
    rig.feedback.take();

    rig.click (135);
    rig.process (4096);
    EXPECT_TRUE (loop.getCue1Button().isOn());
    EXPECT_FALSE (loop.getCue2Button().isOn());
    EXPECT_TRUE (rig.engine().isLoopActive (1));
    const auto lamps = rig.feedback.take();
    ASSERT_FALSE (lamps.empty());
    EXPECT_EQ (lamps.back(), Entry (135, 127));
    EXPECT_EQ (onlyIds (lamps, 136, 136).back(), Entry (136, 0));

    rig.click (135);
    rig.process (4096);
    EXPECT_FALSE (loop.getCue1Button().isOn());
    EXPECT_FALSE (rig.engine().isLoopActive (1));
}

//==============================================================================
// CONTROL and CLOCK.

TEST_F (Dispatcher, ClockActsOnEveryChangeAndStaysLitOnItsChannel)
{
    auto& clock1 = rig.strip (1).getPlayerContainer().getClockButton();
    rig.click (157);
    EXPECT_EQ (rig.engine().getClockChannel(), 1);
    EXPECT_TRUE (clock1.isOn());
    EXPECT_FALSE (rig.strip (0).getPlayerContainer().getClockButton().isOn());
    rig.feedback.take();

    rig.click (157); // switches the toggle off; the channel stays the clock
    EXPECT_EQ (rig.engine().getClockChannel(), 1);
    EXPECT_TRUE (clock1.isOn());
    EXPECT_EQ (rig.feedback.take(), (std::vector<Entry> { { 157, 127 } }));
}

TEST_F (Dispatcher, ControlAppearsOnASharedDeckAndFollowsTheTakeOver)
{
    auto& control0 = rig.strip (0).getPlayerContainer().getControlButton();
    auto& control1 = rig.strip (1).getPlayerContainer().getControlButton();
    rig.dispatcher().refreshDeckIndicators();
    EXPECT_FALSE (control0.isVisible()) << "alone on its deck";

    rig.click (160); // channel 2 follows deck 1 too
    EXPECT_TRUE (control0.isVisible());
    EXPECT_TRUE (control1.isVisible());
    rig.feedback.take();

    rig.click (153);
    EXPECT_EQ (rig.engine().getControlState (1), 1);
    EXPECT_EQ (rig.engine().getControlState (0), 0);
    EXPECT_TRUE (control1.isOn());
    EXPECT_FALSE (control0.isOn());
    EXPECT_EQ (rig.feedback.take(),
               (std::vector<Entry> { { 53, 0 }, { 153, 127 }, { 253, 0 }, { 353, 0 }, { 153, 127 } }));
}

//==============================================================================
// Function keys.

TEST_F (Dispatcher, FunctionKeysActOnlyWhileTheirOptionIsOn)
{
    auto& cue2OfChannel3 = rig.strip (2).getLoopSamplerContainer().getCue2Button();
    const juce::KeyPress f3 (juce::KeyPress::F3Key);
    EXPECT_FALSE (rig.dispatcher().handleFunctionKey (f3, false));
    EXPECT_FALSE (cue2OfChannel3.isOn());

    EXPECT_TRUE (rig.dispatcher().handleFunctionKey (f3, true));
    EXPECT_TRUE (cue2OfChannel3.isOn());
    EXPECT_EQ (rig.feedback.valuesOf (236), (std::vector<int> { 127 }));
    EXPECT_TRUE (rig.dispatcher().handleFunctionKey (f3, true));
    EXPECT_FALSE (cue2OfChannel3.isOn());

    auto& tap = rig.addLoneWidget<KelButton> (ControlIds::tap, 0, nullptr);
    EXPECT_TRUE (rig.dispatcher().handleFunctionKey (juce::KeyPress (juce::KeyPress::F11Key), true));
    EXPECT_EQ (rig.taps, 1);
    EXPECT_TRUE (tap.isOn());
    EXPECT_TRUE (rig.dispatcher().handleFunctionKey (juce::KeyPress (juce::KeyPress::F5Key), true))
        << "the master's CUE2 key is taken even before the master strip is there";
    EXPECT_FALSE (rig.dispatcher().handleFunctionKey (juce::KeyPress (juce::KeyPress::F6Key), true));
    EXPECT_FALSE (rig.dispatcher().handleFunctionKey (juce::KeyPress (juce::KeyPress::returnKey), true));
}

//==============================================================================
// Value laws, measured at the outputs.

TEST_F (Dispatcher, GainFollowsItsDecibelCurveAndTheMainVolumeIsLinear)
{
    rig.click (59); // channel 1 plays deck 1's input live
    const float unity = rig.settledLevel();
    ASSERT_NEAR (unity, rig.toneAmplitude, 0.01f) << "gain 0 dB, fader and main volume full";

    struct Case
    {
        float value, decibels;
    };
    for (const auto& [value, decibels] : { Case { 0.3f, -8.0f }, Case { 0.45f, -1.0f }, Case { 0.9f, 6.0f } })
    {
        rig.widget (1).setValue (value, true);
        EXPECT_NEAR (rig.settledLevel() / unity, std::pow (10.0f, decibels / 20.0f), 0.02f) << value;
    }
    rig.widget (1).setValue (0.5f, true);

    auto& mainVolume = rig.addLoneWidget<LevelMeterSlider> (ControlIds::mainVolume);
    mainVolume.setValue (0.5f, true);
    EXPECT_NEAR (rig.settledLevel() / unity, 0.5f, 0.01f);
    mainVolume.setValue (0.0f, true);
    EXPECT_LT (rig.settledLevel(), 1.0e-6f);
}

TEST_F (Dispatcher, FaderAndCrossfaderSidesReachTheChannel)
{
    rig.click (59);
    const float unity = rig.settledLevel();
    rig.widget (52).setValue (0.5f, true);
    const auto& curve = rig.engine().getFaderCurve();
    EXPECT_NEAR (rig.settledLevel() / unity, curve.lookup (0.5f) / curve.lookup (1.0f), 0.01f);
    rig.widget (52).setValue (1.0f, true);

    // Channel 1 on side B (grid cell 0), channel 2 on side A (cell 1): the
    // crossfader fully on side A silences channel 1.
    auto makeSideGrid = [this] (int id) -> SelectorGrid& {
        auto& grid = rig.addLoneWidget<SelectorGrid> (id, 0, nullptr);
        grid.setRows (1);
        grid.setColumns (5);
        return grid;
    };
    auto& sideA = makeSideGrid (ControlIds::crossfaderSideA);
    auto& sideB = makeSideGrid (ControlIds::crossfaderSideB);
    sideA.selectIndex (1, true);
    sideB.selectIndex (0, true);
    auto& crossfader = rig.addLoneWidget<KelCrossfader> (ControlIds::crossfader);
    crossfader.setValue (0.0f, true);
    EXPECT_LT (rig.settledLevel(), 0.01f * unity);
    crossfader.setValue (1.0f, true);
    EXPECT_NEAR (rig.settledLevel(), unity, 0.01f);

    // Sides exchanged: now the crossfader on side B silences it.
    sideA.selectIndex (0, true);
    sideB.selectIndex (1, true);
    EXPECT_LT (rig.settledLevel(), 0.01f * unity);
    crossfader.setValue (0.0f, true);
    EXPECT_NEAR (rig.settledLevel(), unity, 0.01f);
}

TEST_F (Dispatcher, TheFilterKindGridChoosesTheStateVariableFilterForSvf)
{
    rig.click (59);
    const float open = rig.settledLevel();
    auto& filter = rig.strip (0).getFilterContainer();
    auto& grid = filter.getKindGrid();

    rig.click (39, { grid.getWidth() / 2, grid.getHeight() - 3 }); // "SVF"
    EXPECT_EQ (grid.getSelectedIndex(), 1);
    EXPECT_EQ (filter.getCutoffKnob().getValue(), 1.0f);
    EXPECT_NEAR (rig.settledLevel(), open, 0.05f * open) << "SVF starts fully open on its low-pass";
    const auto lamps = rig.feedback.take();
    for (int id : { 40, 42, 43, 44 })
        EXPECT_FALSE (onlyIds (lamps, id, id).empty()) << id;

    rig.widget (42).setValue (0.0f, true); // the state-variable low-pass level
    EXPECT_LT (rig.settledLevel(), 0.05f * open);

    rig.click (39, { grid.getWidth() / 2, 3 }); // "X": the one-knob filter ignores the levels
    EXPECT_EQ (filter.getCutoffKnob().getValue(), 0.5f);
    EXPECT_NEAR (rig.settledLevel(), open, 0.1f * open);
}

TEST_F (Dispatcher, KillsAndPhonesActAsSwitches)
{
    rig.toneFrequency = 100.0;
    rig.click (59);
    const float open = rig.settledLevel();
    rig.click (51); // kill high: a low tone passes
    EXPECT_NEAR (rig.settledLevel(), open, 0.1f * open);
    rig.click (49); // kill low
    EXPECT_LT (rig.settledLevel(), 0.5f * open);
    rig.click (49);
    rig.click (51);

    EXPECT_LT (rig.settledLevel (2), 0.001f) << "not sent to the phones";
    rig.click (2);
    EXPECT_GT (rig.settledLevel (2), 0.5f * open);
    auto& cueMix = rig.addLoneWidget<KelKnob> (ControlIds::cueMix);
    cueMix.setValue (1.0f, true); // all main, no cue
    const float mainOnly = rig.settledLevel (2);
    rig.click (2);
    EXPECT_NEAR (rig.settledLevel (2), mainOnly, 0.05f * open) << "the phones hear the main mix only";
}

//==============================================================================
// Threads: engine setters and widget values at once; component work later.

TEST_F (Dispatcher, FromAnotherThreadTheDeckValuesComeAtOnceAndTheLooksOnTheMessageThread)
{
    auto& control0 = rig.strip (0).getPlayerContainer().getControlButton();
    rig.dispatcher().refreshDeckIndicators();
    ASSERT_FALSE (control0.isVisible());
    auto& cueSet = rig.addLoneWidget<KelButton> (3, 3, nullptr);

    std::thread midiThread ([&] {
        rig.fromMidi (160, 1.0f); // channel 2 onto deck 1
        rig.fromMidi (3, 1.0f);   // cue point 1 of channel 1
    });
    midiThread.join();

    EXPECT_EQ (rig.engine().getChannelInputDeck (1), 0);
    EXPECT_TRUE (rig.strip (1).getPlayerContainer().getDeckButton (0).isOn());
    EXPECT_FALSE (rig.strip (1).getPlayerContainer().getDeckButton (1).isOn());
    EXPECT_FALSE (control0.isVisible()) << "visibility waits for the message thread";
    EXPECT_TRUE (rig.overviewCues.empty());
    ASSERT_EQ (rig.recordCues.size(), 1u) << "the song record is written at once";
    EXPECT_EQ (cueSet.getValue(), 0.0f);

    pumpMessages (50);
    EXPECT_TRUE (control0.isVisible());
    ASSERT_EQ (rig.overviewCues.size(), 1u);
    EXPECT_TRUE (rig.overviewCues[0].onMessageThread);
    EXPECT_EQ (rig.overviewCues[0].index, 0);
    EXPECT_EQ (rig.feedback.take(), (std::vector<Entry> { { 160, 127 }, { 161, 0 }, { 162, 0 }, { 163, 0 }, { 3, 0 } }));
}

TEST_F (Dispatcher, EffectTypeSetsTheSpeedCaptionsOnTheMessageThread)
{
    auto& effects = rig.addLoneWidget<SelectorGrid> (ControlIds::effectType, 0, nullptr);
    effects.setRows (3);
    effects.setColumns (3);
    effects.selectIndex (3, true); // Echo
    EXPECT_EQ (rig.speedLabelModes, (std::vector<int> { 1 }));

    std::thread midiThread ([&] { rig.fromMidi (ControlIds::effectType, 1.0f); }); // Reverb
    midiThread.join();
    EXPECT_EQ (rig.speedLabelModes.size(), 1u);
    pumpMessages (50);
    EXPECT_EQ (rig.speedLabelModes, (std::vector<int> { 1, 2 }));
}

TEST_F (Dispatcher, EveryControlsValueGoesOutAtStartUp)
{
    rig.strip (3).getChannelUpperContainer().getGainFader().setValue (0.25f, false);
    rig.dispatcher().sendFeedbackForAll();
    const auto sent = rig.feedback.take();
    EXPECT_EQ (onlyIds (sent, 301, 301), (std::vector<Entry> { { 301, 31 } }));
    EXPECT_EQ (onlyIds (sent, 155, 155), (std::vector<Entry> { { 155, 127 } }));
    EXPECT_EQ (onlyIds (sent, 37, 37), (std::vector<Entry> { { 37, 108 } })) << "the grid's 1/8 cell: 6 / 7 x 127";
    EXPECT_EQ (onlyIds (sent, 1, 399).size(), 4u * (32u + 8u)) << "each strip's controls, cue buttons and markers";

    rig.outputOpen = false;
    rig.dispatcher().sendFeedbackForAll();
    EXPECT_TRUE (rig.feedback.take().empty());
}

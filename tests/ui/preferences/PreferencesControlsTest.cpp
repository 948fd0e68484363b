#include "PanelRig.h"

#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace zund;
using test::PanelRig;

TEST (PreferencesControls, PhaseAndPreampReachTheDeckAndTheModel)
{
    PanelRig rig;
    PanelRig::choose (rig.panel->getDeckInputList (0), 1); // In 1/2
    PanelRig::choose (rig.panel->getDeckInputList (2), 2); // In 3/4
    rig.heardPairs();
    const float plainLevel = test::peakOf (rig.probes[2].right);

    rig.click (rig.button ("Invert Phase", 0));
    rig.click (rig.button ("Soft Phono Preamp", 2));
    EXPECT_TRUE (rig.model.invertPhaseLeft[0]);
    EXPECT_TRUE (rig.model.softPreamp[2]);
    EXPECT_FALSE (rig.model.invertPhaseLeft[2] || rig.model.softPreamp[0]);

    rig.heardPairs();
    float worst = 0.0f;
    for (int i = 0; i < test::DeckSignal::numSamples; ++i)
        worst = std::max (worst, std::abs (rig.probes[0].left[(size_t) i] + test::DeckSignal::input (0, i)));
    EXPECT_LT (worst, 1e-6f); // deck 1's left side inverted
    EXPECT_GT (test::peakOf (rig.probes[2].right), 5.0f * plainLevel);

    rig.click (rig.button ("Invert Phase", 0));
    EXPECT_FALSE (rig.model.invertPhaseLeft[0]);
    rig.heardPairs();
    EXPECT_NEAR (rig.probes[0].left[100], test::DeckSignal::input (0, 100), 1e-6f);
}

TEST (PreferencesControls, OptionsAndTestToneFollowTheirToggles)
{
    PanelRig rig;
    struct Case
    {
        const char* text;
        bool* value;
    };
    for (const auto& c : { Case { "Reset Channel EQ & Filter on load", &rig.model.resetOnLoad },
                           Case { "Warn before loading new song on same Channel", &rig.model.warnOnLoad },
                           Case { "Use Function keys F1-F11", &rig.model.useFunctionKeys },
                           Case { "Test Tone", &rig.host.testTone } })
    {
        auto& toggle = rig.button (c.text);
        const bool before = *c.value;
        EXPECT_EQ (toggle.getToggleState(), before) << c.text;
        rig.click (toggle);
        EXPECT_EQ (*c.value, ! before) << c.text;
        rig.click (toggle);
        EXPECT_EQ (*c.value, before) << c.text;
    }
}

TEST (PreferencesControls, TogglesShowTheModelReadFromTheFileWithoutActing)
{
    PanelRig rig;
    rig.model.resetOnLoad = false;
    rig.model.useFunctionKeys = true;
    rig.model.softPreamp[3] = true;
    rig.model.channelCount = 4;
    rig.panel->showModel();
    test::pumpMessages();

    EXPECT_FALSE (rig.button ("Reset Channel EQ & Filter on load").getToggleState());
    EXPECT_TRUE (rig.button ("Use Function keys F1-F11").getToggleState());
    EXPECT_TRUE (rig.button ("Soft Phono Preamp", 3).getToggleState());
    EXPECT_TRUE (rig.button ("4 Channels").getToggleState());
    EXPECT_FALSE (rig.button ("2 Channels").getToggleState());
    EXPECT_FALSE (rig.model.resetOnLoad); // the reader's values stand
    EXPECT_TRUE (rig.host.channelCounts.empty());
}

TEST (PreferencesControls, ChannelCountActsForTheButtonSwitchedOnOnly)
{
    PanelRig rig;
    ASSERT_TRUE (rig.button ("2 Channels").getToggleState());

    rig.click (rig.button ("3 Channels"));
    EXPECT_EQ (rig.host.channelCounts, std::vector<int> { 3 }); // not 2 for the button switched off
    EXPECT_EQ (rig.engine->getNumChannels(), 3);
    EXPECT_EQ (rig.model.channelCount, 3);
    EXPECT_FALSE (rig.button ("2 Channels").getToggleState());

    rig.click (rig.button ("3 Channels")); // again while on
    rig.click (rig.button ("4 Channels"));
    EXPECT_EQ (rig.host.channelCounts, (std::vector<int> { 3, 3, 4 }));
    EXPECT_EQ (rig.model.channelCount, 4);
}

TEST (PreferencesControls, ClearMidiSettingsOnlyAfterAreYouSure)
{
    PanelRig rig;
    rig.midi.assignController (45, 0, 7);
    auto& clear = rig.button ("Clear MIDI Control Settings");

    rig.answers = { false };
    rig.click (clear);
    EXPECT_EQ (rig.questions, juce::StringArray ("Clear all MIDI Settings?: Are you sure?"));
    EXPECT_EQ (rig.midi.getControllerTarget (0, 7), 45);

    rig.answers = { true };
    rig.click (clear);
    EXPECT_EQ (rig.questions.size(), 2);
    EXPECT_EQ (rig.midi.getControllerTarget (0, 7), MidiControlSurfaceManager::none);
}

TEST (PreferencesControls, ColourSelectorIsAskedOfTheHostAfterTheClick)
{
    PanelRig rig;
    rig.button ("Colour Selector").triggerClick();
    EXPECT_EQ (rig.host.colourSelectorCalls, 0);
    test::pumpMessagesUntil ([&] { return rig.host.colourSelectorCalls == 1; });
    EXPECT_EQ (rig.host.colourSelectorCalls, 1);
}

TEST (PreferencesControls, XYViewsAreFedOnlyWhileThePanelIsOnScreen)
{
    PanelRig rig;
    EXPECT_FALSE (rig.host.xyViewsShowing);

    // The bottom bar's dialog: the panel is its content while it is open.
    juce::Component dialog;
    dialog.setVisible (true);
    dialog.addAndMakeVisible (*rig.panel);
    EXPECT_TRUE (rig.host.xyViewsShowing);
    dialog.setVisible (false);
    EXPECT_FALSE (rig.host.xyViewsShowing);
    dialog.setVisible (true);
    EXPECT_TRUE (rig.host.xyViewsShowing);

    // Closed: the dialog lets go of its content, which stays visible itself.
    dialog.removeChildComponent (rig.panel.get());
    EXPECT_TRUE (rig.panel->isVisible());
    EXPECT_FALSE (rig.host.xyViewsShowing);
}

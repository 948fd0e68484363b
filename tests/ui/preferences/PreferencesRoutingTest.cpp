#include "PanelRig.h"

#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace zund;
using test::PanelRig;

namespace
{
constexpr int deck1 = 0, deck2 = 1, deck3 = 2;
constexpr int channel1List = 0;
constexpr int none = -1;

PreferencesModel routedModel (int deck1Input, int channel1Output, int mainOutput)
{
    PreferencesModel model;
    model.deckInput[deck1] = deck1Input;
    model.channelOutput[0] = channel1Output;
    model.mainOutput = mainOutput;
    return model;
}
}

TEST (PreferencesRouting, PairNamesJoinTheSecondNameAfterWhatBothShare)
{
    struct Case
    {
        const char *first, *second, *name;
    };
    for (const auto& c : { Case { "Input 1", "Input 2", "Input 1/2" }, Case { "Left", "Right", "Left/Right" },
                           Case { "capture_9", "capture_10", "capture_9/10" }, Case { "In 5", "", "In 5/" },
                           Case { "Out", "Out", "Out/" } })
        EXPECT_EQ (PreferencesComponent::makePairName (c.first, c.second), c.name) << c.first << " + " << c.second;
}

TEST (PreferencesRouting, ListsOfferNoneAndTheDevicesWholePairs)
{
    struct Case
    {
        const char* device;
        juce::StringArray deckItems, outputItems;
    };
    const Case cases[] = {
        { "Card A", { "NONE=1", "In 1/2=2", "In 3/4=3", "In 5/6=4", "In 7/8=5" },
          { "NONE=1", "Out 1/2=2", "Out 3/4=3", "Out 5/6=4", "Out 7/8=5" } },
        // The odd last channel is no pair.
        { "Odd Card", { "NONE=1", "In 1/2=2", "In 3/4=3" }, { "NONE=1", "Out 1/2=2", "Out 3/4=3" } },
        { "", { "NONE=1" }, { "NONE=1" } },
    };
    for (const auto& c : cases)
    {
        PanelRig rig (c.device);
        const bool open = juce::String (c.device).isNotEmpty();
        for (int d = 0; d < PreferencesModel::numDecks; ++d)
        {
            auto& list = rig.panel->getDeckInputList (d);
            EXPECT_EQ (PanelRig::itemsOf (list), c.deckItems) << c.device << " deck " << d;
            EXPECT_EQ (list.isEnabled(), open);
            EXPECT_EQ (list.getText(), "NONE");
        }
        for (int o = 0; o < PreferencesComponent::numOutputLists; ++o)
        {
            EXPECT_EQ (PanelRig::itemsOf (rig.panel->getOutputList (o)), c.outputItems) << c.device << " list " << o;
            EXPECT_EQ (rig.panel->getOutputList (o).isEnabled(), open);
        }
    }
}

TEST (PreferencesRouting, ChoicesReachTheEngineAndTheModelAtOnce)
{
    PanelRig rig;
    rig.engine->setThru (0, true); // channel 1 plays deck 1's input

    PanelRig::choose (rig.panel->getDeckInputList (deck1), 1); // In 1/2
    PanelRig::choose (rig.panel->getDeckInputList (deck2), 2); // In 3/4
    PanelRig::choose (rig.panel->getOutputList (PreferencesComponent::mainList), 3); // Out 5/6

    EXPECT_EQ (rig.model.deckInput[deck1], 1);
    EXPECT_EQ (rig.model.deckInput[deck2], 2);
    EXPECT_EQ (rig.model.mainOutput, 3);
    EXPECT_EQ (rig.heardPairs(), (std::vector<int> { 0, 2, none, none }));

    const auto out = test::DeckSignal::run (*rig.engine);
    EXPECT_GT (test::peakOf (out[4]), 0.005f);
    for (int ch : { 0, 1, 2, 3, 6, 7 })
        EXPECT_EQ (test::peakOf (out[(size_t) ch]), 0.0f) << ch;
    EXPECT_TRUE (rig.warnings.isEmpty());
}

TEST (PreferencesRouting, InputAlreadyAssignedRevertsTheListToNone)
{
    PanelRig rig;
    PanelRig::choose (rig.panel->getDeckInputList (deck1), 1);
    PanelRig::choose (rig.panel->getDeckInputList (deck3), 3);
    ASSERT_EQ (rig.heardPairs(), (std::vector<int> { 0, none, 4, none }));

    // Deck 3 asks for deck 1's pair: it ends on "NONE", not on its old pair.
    PanelRig::choose (rig.panel->getDeckInputList (deck3), 1);
    EXPECT_EQ (rig.warnings,
               juce::StringArray ("Zund2: Input already assigned to another Deck. Reverting back to NONE!"));
    EXPECT_EQ (rig.panel->getDeckInputList (deck3).getText(), "NONE");
    EXPECT_EQ (rig.model.deckInput[deck3], 0);
    EXPECT_EQ (rig.model.deckInput[deck1], 1);
    EXPECT_EQ (rig.heardPairs(), (std::vector<int> { 0, none, none, none }));
}

TEST (PreferencesRouting, AnOutputPairUsedTwiceIsOnlyWarnedAbout)
{
    PanelRig rig;
    PanelRig::choose (rig.panel->getOutputList (PreferencesComponent::mainList), 2);
    PanelRig::choose (rig.panel->getOutputList (channel1List), 2);
    EXPECT_EQ (rig.warnings, juce::StringArray ("Zund2: Please note that this output is already assigned!"));
    EXPECT_EQ (rig.model.mainOutput, 2);
    EXPECT_EQ (rig.model.channelOutput[0], 2);

    // Restoring a shared pair says nothing.
    PanelRig restored ("Card A", routedModel (1, 2, 2));
    restored.panel->showModel();
    test::pumpMessages();
    EXPECT_TRUE (restored.warnings.isEmpty());
    EXPECT_EQ (restored.panel->getOutputList (channel1List).getText(), "Out 3/4");
    EXPECT_EQ (restored.panel->getOutputList (PreferencesComponent::mainList).getText(), "Out 3/4");
}

TEST (PreferencesRouting, ADeviceThatComesBackKeepsTheRoutingAndAnotherDeviceClearsIt)
{
    // The first device of a run keeps the routing read from the file.
    PanelRig rig ("Card A", routedModel (3, 2, 1));
    test::pumpMessages();
    ASSERT_EQ (rig.heardPairs()[deck1], 4);

    // Card A drops out while no other card could take over.
    rig.cards->unplug ("Card B");
    rig.cards->unplug ("Odd Card");
    rig.cards->unplug ("Card A");
    test::pumpMessages();
    ASSERT_EQ (rig.deviceManager.getCurrentAudioDevice(), nullptr);
    EXPECT_FALSE (rig.panel->getDeckInputList (deck1).isEnabled());

    rig.cards->plugIn ("Card A", { test::numberedChannels ("In ", 8), test::numberedChannels ("Out ", 8) });
    test::openFakeDevice (rig.deviceManager, "Card A");
    test::pumpMessages();
    EXPECT_EQ (rig.model.deckInput[deck1], 3);
    EXPECT_EQ (rig.model.mainOutput, 1);
    EXPECT_EQ (rig.panel->getDeckInputList (deck1).getText(), "In 5/6");
    EXPECT_EQ (rig.heardPairs()[deck1], 4);

    rig.cards->plugIn ("Card B", { test::numberedChannels ("In ", 4), test::numberedChannels ("Out ", 4) });
    test::openFakeDevice (rig.deviceManager, "Card B");
    test::pumpMessages();
    EXPECT_EQ (rig.model.deckInput[deck1], 0);
    EXPECT_EQ (rig.model.channelOutput[0], 0);
    EXPECT_EQ (rig.model.mainOutput, 0);
    EXPECT_EQ (rig.panel->getDeckInputList (deck1).getText(), "NONE");
    EXPECT_EQ (rig.heardPairs()[deck1], none);
}

TEST (PreferencesRouting, APairBeyondTheDeviceRoutesNothingButStaysStored)
{
    // Card B has two input pairs; the file names the fourth.
    PanelRig rig ("Card B", routedModel (4, 0, 0));
    EXPECT_EQ (rig.panel->getDeckInputList (deck1).getSelectedItemIndex(), -1);
    EXPECT_EQ (rig.heardPairs()[deck1], none);
    EXPECT_EQ (rig.model.deckInput[deck1], 4);
    EXPECT_TRUE (rig.warnings.isEmpty());
}

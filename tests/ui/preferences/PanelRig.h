#pragma once

#include "../MixerHostStandIn.h"
#include "DeckSignal.h"
#include "FakeAudioDevices.h"

#include "support/TempFolder.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/plugins/PluginListHolder.h"
#include "ui/preferences/PreferencesComponent.h"

#include <deque>
#include <memory>
#include <vector>

namespace zund::test
{
/** The main component's part for the panel: notes the channel counts, the
    test tone, whether the XY views are fed and calls of the colour selector. */
struct PanelHost : public MixerHostStandIn
{
    using MixerHostStandIn::MixerHostStandIn;

    void setNumChannels (int count) override
    {
        channelCounts.push_back (count);
        MixerHostStandIn::setNumChannels (count);
    }
    void setTestToneOn (bool on) override { testTone = on; }
    void setXYViewsShowing (bool showing) override { xyViewsShowing = showing; }
    void showColourSelector() override { ++colourSelectorCalls; }

    std::vector<int> channelCounts;
    bool testTone = false;
    bool xyViewsShowing = false;
    int colourSelectorCalls = 0;
};

/** A preferences panel over fake sound cards "Card A" (8 inputs "In 1".. and
    8 outputs "Out 1"..), "Card B" (4 and 4) and "Odd Card" (5 and 5). The
    engine's decks report to probes; warnings and questions are noted and
    answered from `answers` (Cancel when none is left). */
struct PanelRig
{
    explicit PanelRig (const juce::String& openDevice = "Card A", const PreferencesModel& startModel = {});
    ~PanelRig();

    /** A choice in a routing list, as the user makes it. */
    static void choose (juce::ComboBox& list, int itemIndex);
    static juce::StringArray itemsOf (juce::ComboBox& list);

    /** The nth of the panel's buttons with that text. */
    juce::Button& button (const juce::String& text, int nth = 0);
    /** A click, and the messages it leads to. */
    void click (juce::Button& button);

    /** The first device channel of the pair each deck hears; -1 for none. */
    std::vector<int> heardPairs();

    ScopedProgramFolder folder;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    PanelHost host { *engine };
    PreferencesModel model;
    MidiControlSurfaceManager midi;
    PluginListHolder plugins;
    juce::AudioDeviceManager deviceManager;
    FakeAudioDevices* cards = nullptr; // owned by the device manager
    std::unique_ptr<PreferencesComponent> panel;
    DeckSignal::Probe probes[PreferencesModel::numDecks];

    juce::StringArray warnings;  // "title: message"
    juce::StringArray questions; // "title: message"
    std::deque<bool> answers;    // true presses OK
};
}

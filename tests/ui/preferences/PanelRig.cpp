#include "PanelRig.h"

#include "support/UiEvents.h"

#include <gtest/gtest.h>

namespace zund::test
{
PanelRig::PanelRig (const juce::String& openDevice, const PreferencesModel& startModel)
{
    model.deckInput = startModel.deckInput;
    model.channelOutput = startModel.channelOutput;
    model.phonesOutput = startModel.phonesOutput;
    model.mainOutput = startModel.mainOutput;

    auto fakes = std::make_unique<FakeAudioDevices>();
    cards = fakes.get();
    cards->plugIn ("Card A", { numberedChannels ("In ", 8), numberedChannels ("Out ", 8) });
    cards->plugIn ("Card B", { numberedChannels ("In ", 4), numberedChannels ("Out ", 4) });
    cards->plugIn ("Odd Card", { numberedChannels ("In ", 5), numberedChannels ("Out ", 5) });
    useFakeDevices (deviceManager, std::move (fakes), openDevice);
    pumpMessages(); // the manager's change messages of the start

    for (int d = 0; d < PreferencesModel::numDecks; ++d)
        engine->setXYView (d, &probes[d]);

    panel = std::make_unique<PreferencesComponent> (host, *engine, deviceManager, model, midi, plugins);
    PreferencesDialogs dialogs;
    dialogs.warn = [this] (const juce::String& title, const juce::String& message) {
        warnings.add (title + ": " + message);
    };
    dialogs.confirm = [this] (const juce::String& title, const juce::String& message, std::function<void()> onOk) {
        questions.add (title + ": " + message);
        const bool ok = ! answers.empty() && answers.front();
        if (! answers.empty())
            answers.pop_front();
        if (ok)
            onOk();
    };
    panel->setDialogs (dialogs);
}

PanelRig::~PanelRig()
{
    for (int d = 0; d < PreferencesModel::numDecks; ++d)
        engine->setXYView (d, nullptr);
    panel.reset();
}

void PanelRig::choose (juce::ComboBox& list, int itemIndex)
{
    list.setSelectedItemIndex (itemIndex, juce::sendNotificationSync);
}

juce::StringArray PanelRig::itemsOf (juce::ComboBox& list)
{
    juce::StringArray items;
    for (int i = 0; i < list.getNumItems(); ++i)
        items.add (list.getItemText (i) + "=" + juce::String (list.getItemId (i)));
    return items;
}

juce::Button& PanelRig::button (const juce::String& text, int nth)
{
    for (auto* child : panel->getChildren())
        if (auto* b = dynamic_cast<juce::Button*> (child); b != nullptr && b->getButtonText() == text && nth-- == 0)
            return *b;
    ADD_FAILURE() << "no button " << text;
    static juce::TextButton none;
    return none;
}

void PanelRig::click (juce::Button& b)
{
    b.triggerClick();
    pumpMessages();
}

std::vector<int> PanelRig::heardPairs()
{
    for (auto& probe : probes)
    {
        probe.left.clear();
        probe.right.clear();
    }
    DeckSignal::run (*engine);
    std::vector<int> pairs;
    for (const auto& probe : probes)
        pairs.push_back (DeckSignal::heardPair (probe));
    return pairs;
}
}

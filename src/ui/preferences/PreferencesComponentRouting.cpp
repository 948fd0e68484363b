// The routing lists: deck inputs and output pairs of the open device.
#include "ui/preferences/PreferencesComponent.h"

#include "engine/Engine.h"
#include "ui/preferences/PreferencesApplier.h"

#include <algorithm>

namespace zund
{
namespace
{
constexpr int noneItemId = 1;
}

juce::String PreferencesComponent::makePairName (const juce::String& first, const juce::String& second)
{
    const int shorter = juce::jmin (first.length(), second.length());
    int shared = 0;
    while (shared < shorter && first[shared] == second[shared])
        ++shared;
    return first + "/" + second.substring (shared);
}

juce::String PreferencesComponent::openDeviceName() const
{
    auto* device = deviceManager.getCurrentAudioDevice();
    return device != nullptr ? device->getName() : juce::String();
}

void PreferencesComponent::fillPairs (juce::ComboBox& list, const juce::StringArray& channelNames)
{
    list.clear (juce::dontSendNotification);
    list.addItem ("NONE", noneItemId);
    // Whole pairs only: an odd last channel carries no stereo signal, and the
    // engine plays nothing there.
    for (int i = 0; i + 1 < channelNames.size(); i += 2)
        list.addItem (makePairName (channelNames[i], channelNames[i + 1]), i / 2 + 2);
}

int& PreferencesComponent::storedOutput (int list)
{
    if (list == phonesList)
        return model.phonesOutput;
    if (list == mainList)
        return model.mainOutput;
    return model.channelOutput[(size_t) list];
}

void PreferencesComponent::refreshRoutingLists()
{
    // The selections are made without notification and the routing goes to
    // the engine in one go: no warnings for a restored routing, and nothing
    // waits for the lists' asynchronous messages.
    auto* device = deviceManager.getCurrentAudioDevice();
    if (openDeviceName().isEmpty())
    {
        const auto onlyNone = [this] (juce::ComboBox* list) {
            fillPairs (*list, {});
            list->setSelectedId (noneItemId, juce::dontSendNotification);
            list->setEnabled (false);
        };
        std::for_each (deckLists.begin(), deckLists.end(), onlyNone);
        std::for_each (outputLists.begin(), outputLists.end(), onlyNone);
        return;
    }

    const auto inputs = device->getInputChannelNames();
    const auto outputs = device->getOutputChannelNames();
    for (int d = 0; d < numDecks; ++d)
    {
        auto& list = *deckLists[(size_t) d];
        fillPairs (list, inputs);
        list.setEnabled (true);
        // An index beyond this device's pairs selects nothing but stays stored.
        list.setSelectedItemIndex (model.deckInput[(size_t) d], juce::dontSendNotification);
    }
    for (int o = 0; o < numOutputLists; ++o)
    {
        auto& list = *outputLists[(size_t) o];
        fillPairs (list, outputs);
        list.setEnabled (true);
        list.setSelectedItemIndex (storedOutput (o), juce::dontSendNotification);
    }
    routeEngine();
}

void PreferencesComponent::routeEngine()
{
    applyRouting (model, engine, DevicePairs::of (deviceManager));
}

void PreferencesComponent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &deviceManager)
        deviceChanged();
}

void PreferencesComponent::deviceChanged()
{
    // Only another named device clears the routing: one that drops out and
    // comes back keeps it.
    const auto name = openDeviceName();
    if (name.isNotEmpty())
    {
        if (lastDeviceName.isNotEmpty() && name != lastDeviceName)
        {
            model.deckInput.fill (0);
            model.channelOutput.fill (0);
            model.phonesOutput = 0;
            model.mainOutput = 0;
        }
        lastDeviceName = name;
    }
    refreshRoutingLists();
}

void PreferencesComponent::comboBoxChanged (juce::ComboBox* list)
{
    if (openDeviceName().isEmpty())
        return;

    const int index = list->getSelectedItemIndex();
    for (int d = 0; d < numDecks; ++d)
        if (list == deckLists[(size_t) d])
            deckInputChosen (d, index);
    for (int o = 0; o < numOutputLists; ++o)
        if (list == outputLists[(size_t) o])
            outputChosen (o, index);
}

void PreferencesComponent::deckInputChosen (int deck, int index)
{
    for (int other = 0; other < numDecks && index > 0; ++other)
    {
        if (other != deck && model.deckInput[(size_t) other] == index)
        {
            dialogs.warn ("Zund2", inputConflictText);
            deckLists[(size_t) deck]->setSelectedId (noneItemId, juce::dontSendNotification);
            index = 0;
        }
    }

    model.deckInput[(size_t) deck] = index;
    engine.setDeckInput (deck, routingToFirstChannel (index, DevicePairs::of (deviceManager).inputs));
}

void PreferencesComponent::outputChosen (int list, int index)
{
    // Two outputs may share a pair; the user is only told.
    storedOutput (list) = index;
    const int first = routingToFirstChannel (index, DevicePairs::of (deviceManager).outputs);
    if (list == phonesList)
        engine.setPhonesOutput (first);
    else if (list == mainList)
        engine.setMainOutput (first);
    else
        engine.setChannelOutput (list, first);

    for (int other = 0; other < numOutputLists && index > 0; ++other)
    {
        if (other != list && storedOutput (other) == index)
        {
            dialogs.warn ("Zund2", outputConflictText);
            break;
        }
    }
}
}

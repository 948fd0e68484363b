#include "app/main/MainComponent.h"

#include "ui/bottom/BottomComponent.h"
#include "ui/master/MainChannel.h"

namespace zund
{
//==============================================================================
// The bottom bar and what it asks of the main component.

void MainComponent::createBottomBar()
{
    // The preferences panel is handed over (setPreferencesComponent) once it exists.
    bottomBar = new BottomComponent (*engine, *this); // owned as a child
    addAndMakeVisible (bottomBar);
}

void MainComponent::songChosen (const juce::String& fullPath)
{
    bottomBar->loadPreview (fullPath);
}

juce::StringArray MainComponent::getInputChannelNames() const
{
    if (auto* device = deviceManager.getCurrentAudioDevice())
        return device->getInputChannelNames();
    return {};
}

void MainComponent::setRecordingInputPair (int firstChannel)
{
    audioCallback->setRecordingInputPair (firstChannel);
}

AudioPluginContainer* MainComponent::getPluginSlot (int index)
{
    if (mainChannel == nullptr || index < 0 || index >= FXContainer::numPluginSlots)
        return nullptr;
    return &mainChannel->getFXContainer().getPluginSlot (index);
}
}

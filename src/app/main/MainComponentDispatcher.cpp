#include "app/main/MainComponent.h"

#include "ui/channel/ChannelContainer.h"
#include "ui/master/MainChannel.h"

namespace zund
{
//==============================================================================
// The control dispatcher and the calls it makes into the rest of the program.

void MainComponent::exComponentValueChanged (ExComponent* widget)
{
    dispatcher.dispatch (widget);
}

void MainComponent::exComponentMouseDown (ExComponent* widget, const juce::MouseEvent&)
{
    if (widget != nullptr)
        learnFromMouseDown (widget->getID());
}

bool MainComponent::keyPressed (const juce::KeyPress& key)
{
    return browserKeyPressed (key);
}

void MainComponent::refreshDeckIndicators()
{
    dispatcher.refreshDeckIndicators();
}

void MainComponent::sendMidiFeedbackForAll()
{
    dispatcher.sendFeedbackForAll();
}

Channel* MainComponent::getChannel (int index)
{
    return channelContainer != nullptr ? channelContainer->getChannel (index) : nullptr;
}

FilterContainer* MainComponent::getFilterPanel (int set)
{
    if (set == MainChannel::channel)
        return mainChannel != nullptr ? &mainChannel->getFilterContainer() : nullptr;
    auto* strip = getChannel (set);
    return strip != nullptr ? &strip->getFilterContainer() : nullptr;
}

EqContainer* MainComponent::getEqPanel (int set)
{
    if (set == MainChannel::channel)
        return mainChannel != nullptr ? &mainChannel->getEqContainer() : nullptr;
    auto* strip = getChannel (set);
    return strip != nullptr ? &strip->getEqContainer() : nullptr;
}

void MainComponent::seekDeck (int channel, float fraction)
{
    engine->setPositionFraction (channel, fraction);
}

void MainComponent::setEffectSpeedLabels (int mode)
{
    if (mainChannel != nullptr)
        mainChannel->getFXContainer().setSpeedLabels (mode);
}

void MainComponent::tapTempo()
{
    beatCounter.tap();
    tapCountdown.store (ControlDispatcher::tapTicks);
}
}

#include "app/main/MainComponent.h"

#include "ui/master/MainChannel.h"

namespace zund
{
//==============================================================================
// The master strip and what its effect panel and plug-in slots ask of the
// main component.

void MainComponent::createMasterStrip()
{
    // Its effect panel loads the plug-ins of "lastPlugins.xml" into the engine now.
    mainChannel = new MainChannel (this); // owned as a child
    mainChannel->setName ("new component");
    addAndMakeVisible (mainChannel);
}

void MainComponent::setEffectTempo (double bpm)
{
    engine->setFXTempo (bpm);
}

double MainComponent::getPluginSampleRate() const
{
    return (double) engine->getSampleRate();
}

bool MainComponent::setPlugin (int bus, int slot, juce::AudioProcessor* plugin)
{
    return engine->setPlugin (bus, slot, plugin);
}

void MainComponent::pluginKnobMouseDown (ExComponent& knob, const juce::MouseEvent& e)
{
    exComponentMouseDown (&knob, e);
}

void MainComponent::pluginKnobValueChanged (ExComponent& knob)
{
    if (! closing.load())
        exComponentValueChanged (&knob);
}

juce::Rectangle<int> MainComponent::getPluginWindowArea() const
{
    return getScreenBounds();
}
}

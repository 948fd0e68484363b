#include "ui/master/MainChannel.h"

#include "ui/master/MasterStripHost.h"

namespace zund
{
MainChannel::MainChannel (MasterStripHost* owner)
    : eq (channel, owner),
      filter (channel, owner),
      loopSampler (channel, owner),
      upper (channel, owner),
      fx (channel, owner)
{
    for (juce::Component* module : std::initializer_list<juce::Component*> { &eq, &filter, &loopSampler, &upper, &fx })
        addAndMakeVisible (module);
    loopSampler.useSingleCueButton();
    assignControlIds();
    setOpaque (true);
    resized();
    updateColours();
}

MainChannel::~MainChannel() = default;

void MainChannel::assignControlIds()
{
    upper.assignControlIds();
    loopSampler.assignControlIds (channel);
    filter.assignControlIds (channel);
    eq.assignControlIds (channel);
    fx.assignControlIds();
}

void MainChannel::updateColours()
{
    fx.setTempoColour (bpmColour);
}

void MainChannel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black); // under the panels only where a panel is narrower than the strip
}

void MainChannel::resized()
{
    // Top to bottom; the strip is as wide as the filter panel and ends under the effect panel.
    int y = 0;
    for (juce::Component* module : std::initializer_list<juce::Component*> { &upper, &loopSampler, &filter, &eq, &fx })
    {
        module->setTopLeftPosition (0, y);
        y = module->getBottom();
    }
    setSize (filter.getWidth(), fx.getBottom());
    repaint();
}
}

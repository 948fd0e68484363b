#include "app/ZundCloseComponent.h"

namespace zund
{
void ZundCloseComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black.withAlpha (0.75f));
    g.setColour (juce::Colour::greyLevel (0.3f).withAlpha (0.75f));
    g.drawRect (g.getClipBounds(), 1);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (20.0f, juce::Font::bold));
    g.drawText ("Closing Zund... Please wait...", getLocalBounds(), juce::Justification::centred, false);
}
}

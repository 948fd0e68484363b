#include "library/browser/HolderComponent.h"

namespace zund
{
void HolderComponent::paint (juce::Graphics& g)
{
    g.setGradientFill (juce::ColourGradient::vertical (juce::Colour::greyLevel (0.3f), 0.0f, juce::Colour::greyLevel (0.1f),
                                                       (float) getHeight()));
    g.fillAll();
    g.setColour (juce::Colour::greyLevel (0.25f));
    g.fillRect (0, getHeight() - 1, getWidth(), 1);
}
}

#include "ui/dialogs/LoadFileComponentLookAndFeel.h"

namespace zund
{
juce::Colour LoadFileComponentLookAndFeel::colourFor (bool isMouseOver)
{
    return isMouseOver ? juce::Colour (0xffffa500) : juce::Colour (0xffffff00);
}

void LoadFileComponentLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                                         bool isMouseOver, bool)
{
    g.setColour (colourFor (isMouseOver));
    g.drawEllipse (button.getLocalBounds().reduced (2).toFloat(), 3.0f);
}

void LoadFileComponentLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool isMouseOver,
                                                   bool)
{
    g.setColour (colourFor (isMouseOver));
    g.setFont (juce::Font ((float) button.getHeight() * 0.5f, juce::Font::bold));
    g.drawText (button.getButtonText(), button.getLocalBounds(), juce::Justification::centred, false);
}
}

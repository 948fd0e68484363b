#include "ui/panels/PanelLabel.h"

namespace zund
{
void addPanelLabel (juce::Component& panel, juce::Label& label, const juce::String& text,
                    juce::Rectangle<int> bounds, juce::Justification justification, juce::Colour colour)
{
    label.setText (text, juce::dontSendNotification);
    label.setFont (juce::Font (12.0f, juce::Font::bold));
    label.setJustificationType (justification);
    label.setEditable (false, false, false);
    label.setColour (juce::Label::textColourId, colour);
    label.setColour (juce::Label::textWhenEditingColourId, juce::Colours::black);
    label.setColour (juce::Label::backgroundWhenEditingColourId, juce::Colours::transparentBlack);
    label.setBounds (bounds);
    panel.addAndMakeVisible (label);
}
}

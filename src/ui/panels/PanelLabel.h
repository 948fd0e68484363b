#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The light grey of the panels' fixed captions. */
constexpr juce::uint32 panelCaptionGrey = 0xffababab;

/** The captions of the module panels: 12-point bold, not editable, in the
    given colour; the label is placed and made visible in its panel. */
void addPanelLabel (juce::Component& panel, juce::Label& label, const juce::String& text,
                    juce::Rectangle<int> bounds, juce::Justification justification, juce::Colour colour);
}

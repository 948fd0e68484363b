#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The track-load dialog's channel buttons: a yellow ring with the digit in it,
    orange under the mouse. */
class LoadFileComponentLookAndFeel : public juce::LookAndFeel_V2
{
public:
    static juce::Colour colourFor (bool isMouseOver);

    void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                               bool isMouseOver, bool isDown) override;
    void drawButtonText (juce::Graphics& g, juce::TextButton& button, bool isMouseOver, bool isDown) override;
};
}

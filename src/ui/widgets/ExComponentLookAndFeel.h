#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The drawing routines that the control widgets (and the look and feel's toggle
    buttons) share. No state. */
class ExComponentLookAndFeel
{
public:
    /** A button face: a vertical gradient from topColour to bottomColour inside a
        1-pixel outline (light while highlighted), with the text centred in light
        grey over a black edge one pixel above it. */
    static void drawButtonBox (juce::Graphics& g, juce::Colour topColour, juce::Colour bottomColour, int x, int y,
                               int w, int h, bool highlighted, const juce::String& text, float textHeight,
                               int textStyle);

    /** A flat box: the colour with a black outline and the text centred in bold
        dark grey. */
    static void drawFlatBox (juce::Graphics& g, juce::Colour colour, int x, int y, int w, int h,
                             const juce::String& text, float textHeight);
};
}

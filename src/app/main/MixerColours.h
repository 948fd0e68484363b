#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zund
{
/** The main component's colours; the colour selector edits them in place. */
struct MixerColours
{
    /** The four colours of a CONTROL toggle, in the order the toggle takes them. */
    struct ControlButton
    {
        juce::Colour on1, on2, off1, off2;

        /** On 2 is the given colour, On 1 that colour brightened; the off
            colours are dark greys tinted with On 1. */
        static ControlButton from (juce::Colour on2);
    };

    /** The module panels' knob captions. */
    juce::Colour panel { 0xffababab };
    juce::Colour applicationBackground { 0xff000000 };
    /** A channel alone on its deck (type 1) and on a shared deck (type 2). */
    ControlButton type1 = ControlButton::from (juce::Colour (0xffff0000));
    ControlButton type2 = ControlButton::from (juce::Colour (0xff008000));
};
}

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The program's look and feel, installed as the default by the main window. */
class ZundLookAndFeel : public juce::LookAndFeel_V4
{
public:
    ZundLookAndFeel();

    /** The sans-serif face the program asks for ("Verdana"), or an installed
        stand-in when it is missing. */
    static juce::String chooseSansSerifTypefaceName();
};
}

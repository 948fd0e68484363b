#include "ui/ZundLookAndFeel.h"

namespace zund
{
ZundLookAndFeel::ZundLookAndFeel()
{
    setDefaultSansSerifTypefaceName (chooseSansSerifTypefaceName());
}

juce::String ZundLookAndFeel::chooseSansSerifTypefaceName()
{
    // Verdana is rarely installed on Linux; DejaVu Sans has the same wide, open shapes.
    const auto installed = juce::Font::findAllTypefaceNames();
    for (auto name : { "Verdana", "DejaVu Sans" })
        if (installed.contains (name))
            return name;
    return juce::Font::getDefaultSansSerifFontName();
}
}

#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zund
{
/** One row of a StringTableListBox: a text per column (index = column id - 1),
    the text colour and a state that tints the row's background. */
struct StringTableRow
{
    enum State
    {
        normal = 0,
        addedToCase = 1,
        loadedInChannel = 2
    };

    juce::Colour colour { juce::Colour::greyLevel (0.8f) };
    int state = normal;
    juce::StringArray cells;
};
}

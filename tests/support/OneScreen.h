#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund::test
{
/** One 1920 x 1200 screen for the desktop while it lives, whatever this
    machine has (the tests run without one): windows that measure the screen
    as they are built (alert boxes, plug-in windows) can then be made. */
class OneScreen
{
public:
    OneScreen();
    ~OneScreen();

    const juce::Rectangle<int> area { 0, 0, 1920, 1200 };

private:
    juce::Displays& displays;
    const juce::Array<juce::Displays::Display> saved;

    JUCE_DECLARE_NON_COPYABLE (OneScreen)
};
}

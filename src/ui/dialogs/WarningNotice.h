#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** A warning box that holds nothing up: it is not modal, so the mixer keeps
    its mouse, its keys and its dialogs while it shows, and it does not take
    the keyboard focus. It stays above the other windows until its "OK" is
    pressed (Return or Escape once it has the focus), or the program ends. */
class WarningNotice : public juce::AlertWindow, private juce::DeletedAtShutdown
{
public:
    static void show (const juce::String& title, const juce::String& message);

private:
    WarningNotice (const juce::String& title, const juce::String& message);
    void close();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WarningNotice)
};
}

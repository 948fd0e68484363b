#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund
{
/** The preferences panel's warnings and questions. By default the framework's
    alert windows with the warning icon, shown without a nested message loop
    (the panel asks from inside its list and button callbacks); tests answer
    in place of the user. */
struct PreferencesDialogs
{
    /** A box with one button. */
    std::function<void (const juce::String& title, const juce::String& message)> warn;
    /** An OK / Cancel box; `onOk` runs only when OK was pressed. */
    std::function<void (const juce::String& title, const juce::String& message, std::function<void()> onOk)> confirm;

    static PreferencesDialogs alertWindows();
};
}

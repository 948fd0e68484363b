#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund
{
/** The library's questions and messages: the framework's alert window, shown
    without a nested message loop; the answer arrives in a callback. */
struct LibraryDialogs
{
    /** Two buttons; `answer` learns whether the first one was pressed (Esc
        counts as the second). Empty button texts give the framework's "OK"
        and "Cancel". */
    static void ask (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                     const juce::String& firstButton, const juce::String& secondButton,
                     std::function<void (bool first)> answer);

    /** `ask`, with `onConfirm` run only for the first button. */
    static void confirm (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                         const juce::String& confirmText, const juce::String& cancelText,
                         std::function<void()> onConfirm);

    /** A warning with one button; `then` runs once it is closed. */
    static void warn (const juce::String& title, const juce::String& message, std::function<void()> then = {});
};
}

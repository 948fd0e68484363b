#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund::test
{
/** A mouse event at a point of a component, as the framework would deliver it
    to that component's handlers. */
juce::MouseEvent mouseEventAt (juce::Component& component, juce::Point<int> position,
                               juce::ModifierKeys modifiers = {}, int numberOfClicks = 1);

/** Runs the message loop until the condition holds or the time is up; returns
    the condition's last value. */
bool pumpMessagesUntil (const std::function<bool()>& condition, int timeoutMs = 2000);

/** Runs the message loop for a while (timers, async updates, change messages). */
void pumpMessages (int milliseconds = 30);

/** The component painted into a fresh ARGB image of its size. */
juce::Image snapshotOf (juce::Component& component);
}

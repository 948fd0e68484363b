#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>
#include <optional>

namespace juce
{
class Component;
}

namespace zund
{
class BottomComponent;
}

namespace zund::test
{
/** Where things are in the program's main window, found without a display:
    the probe builds the same components headlessly at the same size and asks
    them. All results are in window-relative pixels, ready for XTestInput.

    findControl makes the panels that MainComponent makes inside a plain
    juce::Component of the main component's size (the window minus the frame),
    with the control ids MainComponent gives them, lays them out by its layout
    rules with the sections of a fresh start shown (strips 1 and 2, every
    panel), then converts the widget's bounds. So far the channel strips, the
    crossfader panel, the master strip and the bottom bar are probed; the
    browser joins it with its part of the program. A control that is not there
    (or hidden) is not found, and a test that needs it fails with a clear
    message instead of clicking blind. */
struct LayoutProbe
{
    int windowWidth, windowHeight;

    /** The top-left corner of the main component inside the window (below
        the program's own 20-pixel title bar, inside the frame). */
    juce::Point<int> contentOrigin() const;

    /** The title bar's close button. */
    juce::Rectangle<int> closeButton() const;

    /** The widget with this control id; nothing for one the probe does not
        make, or that is hidden at the start. */
    std::optional<juce::Rectangle<int>> findControl (int controlId) const;

    /** A widget of the bottom bar (its widgets have no control id), e.g.
        [] (BottomComponent& bar) -> juce::Component& { return bar.getRecordButton(); }. */
    std::optional<juce::Rectangle<int>>
    findBottomBarWidget (const std::function<juce::Component& (BottomComponent&)>& pick) const;
};
}

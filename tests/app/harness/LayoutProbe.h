#pragma once

#include <juce_graphics/juce_graphics.h>

#include <optional>

namespace zund::test
{
/** Where things are in the program's main window, found without a display:
    the probe builds the same components headlessly at the same size and asks
    them. All results are in window-relative pixels, ready for XTestInput.

    The window frame is probed now. The mixer's panels are not built yet; once
    they are, findControl is filled in like this: make the panels that
    MainComponent makes (the channel strips, master strip, crossfader panel,
    bottom bar, browser) inside a plain juce::Component of the main
    component's size (the window minus contentOrigin and the frame), assign
    the control ids as MainComponent does, lay it out with the same sections
    shown, then take ExComponent::getComponentByID (controlId), convert its
    bounds with getLocalArea (mainComponent, bounds) and add contentOrigin.
    Until then it finds nothing, and a test that needs it fails with a clear
    message instead of clicking blind. */
struct LayoutProbe
{
    int windowWidth, windowHeight;

    /** The top-left corner of the main component inside the window (below
        the program's own 20-pixel title bar, inside the frame). */
    juce::Point<int> contentOrigin() const;

    /** The title bar's close button. */
    juce::Rectangle<int> closeButton() const;

    /** The widget with this control id; nothing while the panels are not probed. */
    std::optional<juce::Rectangle<int>> findControl (int controlId) const;
};
}

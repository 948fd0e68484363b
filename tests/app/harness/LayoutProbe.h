#pragma once

#include <juce_graphics/juce_graphics.h>

#include <optional>

namespace zund::test
{
/** Where things are in the program's main window, found without a display:
    the probe builds the same components headlessly at the same size and asks
    them. All results are in window-relative pixels, ready for XTestInput.

    The probe makes the panels that the main component shows at the start
    (two channel strips, the crossfader panel) at the main component's size,
    lays them out by the same rules and asks the widget with a control id
    where it is. Panels the program does not make yet are not probed. */
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
};
}

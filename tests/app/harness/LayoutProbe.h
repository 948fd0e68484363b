#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
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

    findControl and findView make the panels that MainComponent makes inside a
    plain juce::Component of the main component's size (the window minus the
    frame), with the control ids MainComponent gives them, show the sections
    the probe is given (a fresh start unless told otherwise), lay them out by
    its layout rules, then convert the widget's bounds. The channel strips,
    the crossfader panel, the master strip and the bottom bar are probed; the browser's own
    rows are BrowserProbe's. A control that is not there (or hidden) is not
    found, and a test that needs it fails with a clear message instead of
    clicking blind. */
struct LayoutProbe
{
    static constexpr int numSections = 11;
    using Sections = std::array<bool, numSections>;

    /** Strips 1 and 2 and every panel: what a start without "preferences.xml" shows. */
    static Sections freshStart();
    /** What a start with this "preferences.xml" root shows: its section flags,
        then its channel count (which overrides the flags of the strips). */
    static Sections shownBy (const juce::XmlElement& preferences);

    int windowWidth, windowHeight;
    Sections sections = freshStart();

    /** The top-left corner of the main component inside the window (below
        the program's own 20-pixel title bar, inside the frame). */
    juce::Point<int> contentOrigin() const;

    /** The title bar's close button. */
    juce::Rectangle<int> closeButton() const;

    /** The widget with this control id; nothing for one the probe does not
        make, or that is hidden. */
    std::optional<juce::Rectangle<int>> findControl (int controlId) const;

    /** A widget of the bottom bar (its widgets have no control id), e.g.
        [] (BottomComponent& bar) -> juce::Component& { return bar.getRecordButton(); }. */
    std::optional<juce::Rectangle<int>>
    findBottomBarWidget (const std::function<juce::Component& (BottomComponent&)>& pick) const;

    /** Views without a control id, by channel or slot. */
    enum class View
    {
        waveDisplay,      // a channel's "Wave Display" panel
        scrollingWave,    // a channel's scrolling close-up of the waveform
        waveOverview,     // a channel's whole-track overview
        pluginSlotButton, // the name button of plug-in slot 0 or 1
    };
    std::optional<juce::Rectangle<int>> findView (View view, int index) const;

    /** The browser's area. */
    juce::Rectangle<int> browserArea() const;
};
}

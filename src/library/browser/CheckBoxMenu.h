#pragma once

#include "library/browser/CheckBoxMenuItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** A small pop-up list of named tick boxes in a window of its own. A click
    toggles the item under the mouse and sends a change message (listeners read
    the ticks with isChecked); the menu hides itself half a second after the
    mouse has left it, once the mouse has moved inside it. */
class CheckBoxMenu : public juce::Component, public juce::Timer, public juce::ChangeBroadcaster
{
public:
    CheckBoxMenu();
    ~CheckBoxMenu() override;

    /** Appends an item; the menu grows to fit all items. */
    void addItem (const juce::String& name, int id, bool checked);
    /** The first item with that id; false when there is none. */
    bool isChecked (int id) const;
    void clear();

    /** Opens the menu at the mouse pointer, a little up and left of it. */
    void showAtMousePosition();
    /** The menu's top-left corner for a mouse position. */
    static juce::Point<int> cornerForMouseAt (juce::Point<int> mouse);

    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void timerCallback() override;
    void paint (juce::Graphics& g) override;

    static constexpr int rowHeight = 20;
    static constexpr int menuWidth = 100;
    static constexpr int closeDelayMs = 500;

private:
    juce::OwnedArray<CheckBoxMenuItem> items;
    juce::CriticalSection lock; // guards items
    int hoveredRow = -1;
    bool armed = false; // the mouse has moved inside since the menu was shown

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CheckBoxMenu)
};
}

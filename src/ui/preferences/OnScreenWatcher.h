#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund
{
/** Reports when a component comes on or goes off the screen: it and every
    parent visible, and it either sits in a parent or is a window itself. A
    component run as a dialog's content keeps its own visible flag after the
    dialog has gone; this follows the dialog. Message thread. */
class OnScreenWatcher : private juce::ComponentListener
{
public:
    /** `onChange` gets every change of the state, not the state at the start. */
    OnScreenWatcher (juce::Component& componentToWatch, std::function<void (bool onScreen)> onChange);
    ~OnScreenWatcher() override;

    bool isOnScreen() const noexcept { return onScreen; }

private:
    void componentVisibilityChanged (juce::Component&) override;
    void componentParentHierarchyChanged (juce::Component&) override;
    void componentBeingDeleted (juce::Component& component) override;

    void watchParents();
    void unwatchParents();
    bool computeOnScreen() const;
    void update();

    juce::Component& component;
    std::function<void (bool)> changed;
    juce::Array<juce::Component*> parents;
    bool onScreen = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OnScreenWatcher)
};
}

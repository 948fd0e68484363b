#include "ui/preferences/OnScreenWatcher.h"

namespace zund
{
OnScreenWatcher::OnScreenWatcher (juce::Component& componentToWatch, std::function<void (bool)> onChange)
    : component (componentToWatch), changed (std::move (onChange))
{
    component.addComponentListener (this);
    watchParents();
    onScreen = computeOnScreen();
}

OnScreenWatcher::~OnScreenWatcher()
{
    unwatchParents();
    component.removeComponentListener (this);
}

void OnScreenWatcher::watchParents()
{
    for (auto* p = component.getParentComponent(); p != nullptr; p = p->getParentComponent())
    {
        p->addComponentListener (this);
        parents.add (p);
    }
}

void OnScreenWatcher::unwatchParents()
{
    for (auto* p : parents)
        p->removeComponentListener (this);
    parents.clear();
}

bool OnScreenWatcher::computeOnScreen() const
{
    if (component.getParentComponent() == nullptr && ! component.isOnDesktop())
        return false;
    for (auto* c = &component; c != nullptr; c = c->getParentComponent())
        if (! c->isVisible())
            return false;
    return true;
}

void OnScreenWatcher::update()
{
    const bool now = computeOnScreen();
    if (now == onScreen)
        return;
    onScreen = now;
    if (changed)
        changed (now);
}

void OnScreenWatcher::componentVisibilityChanged (juce::Component&)
{
    update();
}

void OnScreenWatcher::componentParentHierarchyChanged (juce::Component&)
{
    unwatchParents();
    watchParents();
    update();
}

void OnScreenWatcher::componentBeingDeleted (juce::Component& c)
{
    // A parent going away: its children are taken out next, which reports the
    // new hierarchy.
    c.removeComponentListener (this);
    parents.removeFirstMatchingValue (&c);
}
}

#pragma once

#include "ui/plugins/PluginWindow.h"

namespace zund
{
/** Keeps the plug-in windows, which stay on top of everything, from covering
    a dialog: while any modal dialog or question is up (menus aside, which
    open over them), every plug-in window that was showing is hidden, and
    each is shown again once the last dialog has gone. Covers every dialog,
    the framework's own included, by looking at the modal components on each
    update (the main component's 20 ms tick). Message thread. */
class PluginWindowsAside
{
public:
    PluginWindowsAside() = default;
    /** Windows still put aside come back. */
    ~PluginWindowsAside();

    void update();

    /** Whether a modal component other than a menu is up. */
    static bool isDialogUp();
    bool areWindowsAside() const noexcept { return aside; }

private:
    void putAside();
    void bringBack();

    bool aside = false;
    juce::Array<juce::Component::SafePointer<PluginWindow>> hidden;

    JUCE_DECLARE_NON_COPYABLE (PluginWindowsAside)
};
}

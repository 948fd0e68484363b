#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** How old the answer about a window's minimised state may get. */
inline constexpr juce::uint32 minimisedCheckMs = 100;

/** Component::isShowing without a round trip to the X server on every call:
    the component and its parents are visible, the top one is on the desktop,
    and its window was not minimised when last asked (the window is asked at
    most every `minimisedCheckMs`). A window coming back from minimised is
    repainted whole by its exposure, so the views that poll this lose nothing
    meanwhile. Message thread only. */
bool isOnScreen (const juce::Component& component);
}

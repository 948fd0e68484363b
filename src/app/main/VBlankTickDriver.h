#pragma once

#include "common/events/VBlankInterval.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** Lets the display's vertical blanks serve the shared 20 ms tick: the
    framework repaints a window on a timer of the display's blank period (100 Hz
    on a display that tells none), and a tick in step with it costs no wake-up
    of its own. While the window has no blanks, or their period does not divide
    the tick, the tick keeps its own timer. Message thread. */
class VBlankTickDriver
{
public:
    explicit VBlankTickDriver (juce::Component& windowContent);

private:
    void blank();

    VBlankInterval interval;
    juce::VBlankAttachment attachment;
};
}

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class ExComponent;

/** Receives what happens to control widgets. The main component is the default
    listener of every widget without one of its own (its value callback is the
    control dispatcher). */
class ExComponentListener
{
public:
    /** The repaint timer has just repainted this dirty widget (message thread;
        only for widgets that name this listener themselves). */
    virtual void exComponentRefreshed (ExComponent*) {}

    /** The mouse went down on the widget, before the widget changes its value. */
    virtual void exComponentMouseDown (ExComponent*, const juce::MouseEvent&) {}

    /** A value change is reported: on the message thread for mouse and keyboard,
        on a MIDI thread for mapped MIDI input. */
    virtual void exComponentValueChanged (ExComponent*) = 0;

protected:
    ~ExComponentListener() = default;
};
}

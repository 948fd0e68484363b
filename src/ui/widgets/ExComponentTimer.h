#pragma once

#include "common/events/SharedTimer.h"

#include <juce_events/juce_events.h>

namespace zund
{
/** The one 20 ms timer that repaints dirty widgets. Made with the first widget
    and deleted with the last (ExComponent does both). Message thread only. */
class ExComponentTimer : public SharedTimer
{
public:
    static constexpr int periodMs = 20;

    void timerCallback() override;

    /** One tick: every dirty widget of the repaint list, in list order, is made
        clean, reported to its own listener and repainted. */
    static void repaintDirtyWidgets();

    /** The running timer, or null while no widget exists. */
    static ExComponentTimer* getInstance() noexcept;

private:
    friend class ExComponent;
    static void create();
    static void destroy();
};
}

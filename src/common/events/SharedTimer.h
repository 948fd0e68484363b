#pragma once

#include <juce_events/juce_events.h>

namespace zund
{
/** A periodic timer with the interface of juce::Timer whose callbacks come in
    step with those of every other SharedTimer: timers whose interval is a
    multiple of 20 ms all hang on one 20 ms tick (a 100 ms timer is called on
    every fifth), others on one tick per interval.

    Each juce::Timer keeps the phase of its own start, so two dozen views
    polling every 20 ms woke the program hundreds of times a second; sharing a
    tick wakes it 50 times.

    The first callback comes up to one shared tick sooner than a juce::Timer's
    would (a 20 ms timer's within 20 ms of startTimer, a 100 ms timer's after
    80 to 100 ms). Callbacks of one tick run in the order the timers were
    started; a timer started during a tick is first called on a later one.
    Like juce::Timer it may be started, stopped or deleted from a callback,
    also its own; unlike it, only on the message thread. */
class SharedTimer
{
public:
    SharedTimer() noexcept = default;
    virtual ~SharedTimer();

    virtual void timerCallback() = 0;

    /** (Re)starts the timer; an interval below 1 is taken as 1. */
    void startTimer (int intervalMs);
    void stopTimer() noexcept;

    bool isTimerRunning() const noexcept { return intervalMs > 0; }
    /** The interval while running, else 0. */
    int getTimerInterval() const noexcept { return intervalMs; }

    /** The interval of the tick that timers of every multiple of it share. */
    static constexpr int sharedTickMs = 20;

    /** Called on each vertical blank of the display, in the pass of the
        framework's timers that runs the window's repaints every
        vblankIntervalMs. When that period divides the shared tick, a tick not
        in this pass is brought into step with it: one due within half a blank
        runs now, one that ran within the last half blank waits a little
        longer once, and its count restarts from here. From then on each tick
        comes in a blank's wake-up of the program instead of one of its own
        (the blanks' timer restarts whenever a window moves, hence every
        blank). True when the tick ran. Message thread. */
    static bool runSharedTickWithVBlank (double nowMs, int vblankIntervalMs);

    /** When the shared tick last ran, on the clock of
        juce::Time::getMillisecondCounterHiRes(); 0 while none runs (for tests). */
    static double getLastSharedTickMs();

    /** How many juce::Timers the shared ticks run at the moment (for tests). */
    static int getNumTicksRunning();

private:
    int intervalMs = 0;

    SharedTimer (const SharedTimer&) = delete;
    SharedTimer& operator= (const SharedTimer&) = delete;
};
}

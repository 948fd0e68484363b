#include "app/MessagePump.h"

#include <juce_events/juce_events.h>

namespace juce
{
// The framework's own step of its Linux dispatch loop: one round over every
// waiting message and file-descriptor event; false at once when none waits.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace zund
{
void dispatchPendingMessages (double maxMilliseconds)
{
    const double deadline = juce::Time::getMillisecondCounterHiRes() + maxMilliseconds;
    while (juce::dispatchNextMessageOnSystemQueue (true))
        if (juce::Time::getMillisecondCounterHiRes() >= deadline)
            break;
}
}

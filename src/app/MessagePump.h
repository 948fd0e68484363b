#pragma once

namespace zund
{
/** Handles the messages and window events that wait, round by round, until a
    round finds nothing or the time is up. Unlike the framework's dispatch loop
    it never sleeps on an empty queue, and it still works after the quit message
    has ended that loop, during shut-down. Message thread. */
void dispatchPendingMessages (double maxMilliseconds);
}

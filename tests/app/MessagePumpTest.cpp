// The pump that start-up and shut-down run so that windows paint and pending
// work is done before the next long step.

#include "app/MessagePump.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <unistd.h>

using namespace zund;

TEST (MessagePump, HandlesWhatWaitsAndReturnsWhenNothingIsLeft)
{
    int handled = 0;
    for (int i = 0; i < 3; ++i)
        juce::MessageManager::callAsync ([&handled] { ++handled; });

    const double start = juce::Time::getMillisecondCounterHiRes();
    dispatchPendingMessages (2000.0);
    dispatchPendingMessages (2000.0); // nothing waits now
    const double elapsed = juce::Time::getMillisecondCounterHiRes() - start;

    EXPECT_EQ (handled, 3);
    // A pump that sleeps on an empty queue until its limit stalls start-up and
    // closing by a second or more.
    EXPECT_LT (elapsed, 250.0);
}

TEST (MessagePump, StillWorksOnceTheQuitMessageHasEndedTheDispatchLoop)
{
    // Shut-down runs after the quit message; what waits then (window events)
    // must still be handled. Run apart: the quit is for good in a process.
    GTEST_FLAG_SET (death_test_style, "threadsafe");
    EXPECT_EXIT (
        {
            juce::MessageManager::getInstance()->stopDispatchLoop();
            dispatchPendingMessages (1000.0); // takes the quit message

            int fds[2];
            if (pipe (fds) != 0 || write (fds[1], "x", 1) != 1)
                _exit (2);
            bool handled = false;
            juce::LinuxEventLoop::registerFdCallback (fds[0], [&handled] (int fd) {
                char c;
                handled = read (fd, &c, 1) == 1;
            });
            dispatchPendingMessages (1000.0);
            juce::LinuxEventLoop::unregisterFdCallback (fds[0]);
            _exit (handled ? 0 : 1);
        },
        ::testing::ExitedWithCode (0), "");
}

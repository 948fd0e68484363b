#include "common/events/SharedTimer.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace zund;

namespace
{
/** Counts its calls and runs what the test gives it in each. */
struct CountingTimer : public SharedTimer
{
    void timerCallback() override
    {
        ++calls;
        if (onCall)
            onCall();
    }

    int calls = 0;
    std::function<void()> onCall;
};
}

// Timers of every multiple of 20 ms hang on one framework timer, a 100 ms
// one called on every fifth of its ticks; another interval has a timer of
// its own, and the last one stopped leaves none.
TEST (SharedTimer, MultiplesOfTwentyMillisecondsShareOneTick)
{
    ASSERT_EQ (SharedTimer::getNumTicksRunning(), 0);
    CountingTimer fast, alsoFast, slow, odd;
    fast.startTimer (20);
    alsoFast.startTimer (20);
    slow.startTimer (100);
    EXPECT_EQ (SharedTimer::getNumTicksRunning(), 1);
    EXPECT_EQ (slow.getTimerInterval(), 100);
    odd.startTimer (50);
    EXPECT_EQ (SharedTimer::getNumTicksRunning(), 2);

    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return fast.calls >= 21; }, 10000));
    EXPECT_EQ (alsoFast.calls, fast.calls) << "called on the same ticks";
    EXPECT_EQ (slow.calls, fast.calls / 5) << "every fifth tick";
    EXPECT_GT (odd.calls, 0);

    for (auto* timer : { &fast, &alsoFast, &slow, &odd })
        timer->stopTimer();
    EXPECT_FALSE (fast.isTimerRunning());
    EXPECT_EQ (fast.getTimerInterval(), 0);
    EXPECT_EQ (SharedTimer::getNumTicksRunning(), 0);
}

// Callbacks may stop, delete or start timers, their own included: a timer
// stopped or deleted during a tick is not called after it, one started during
// a tick is first called on a later one, and the tick goes once the last
// timer on it has stopped.
TEST (SharedTimer, CallbacksMayStopDeleteAndStartTimers)
{
    CountingTimer stopsItself, deletesTheNext, startsAnother, started;
    auto deleted = std::make_unique<CountingTimer>();
    int deletedCallsAtDeletion = -1;

    stopsItself.onCall = [&] { stopsItself.stopTimer(); };
    deletesTheNext.onCall = [&] {
        if (deleted != nullptr)
        {
            deletedCallsAtDeletion = deleted->calls;
            deleted.reset();
        }
    };
    startsAnother.onCall = [&] {
        if (! started.isTimerRunning())
            started.startTimer (20);
    };
    started.onCall = [&] { EXPECT_GT (startsAnother.calls, started.calls) << "not in the tick that started it"; };

    stopsItself.startTimer (20);
    deletesTheNext.startTimer (20);
    deleted->startTimer (20);
    startsAnother.startTimer (20);

    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return started.calls >= 3; }, 10000));
    EXPECT_EQ (stopsItself.calls, 1);
    EXPECT_EQ (deletedCallsAtDeletion, 0) << "deleted before its turn in the first tick";
    EXPECT_EQ (started.calls, startsAnother.calls - 1);

    deletesTheNext.stopTimer();
    startsAnother.stopTimer();
    started.onCall = [&] { started.stopTimer(); }; // the last one stops inside its own tick
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return ! started.isTimerRunning(); }, 10000));
    test::pumpMessages (50);
    EXPECT_EQ (SharedTimer::getNumTicksRunning(), 0);
}

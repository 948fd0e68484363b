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

// Blanks of a 10 ms display, each a framework timer's call as the windows'
// are, take the 20 ms tick into their own wake-ups: after the first few, every
// tick comes in the same pass of the framework's timers as a blank, at the
// same rate as before. A display whose period does not divide the tick, or a
// tick not yet due within half a blank, is left alone.
TEST (SharedTimer, TicksComeWithTheBlanksOfADisplayWhosePeriodDividesThem)
{
    CountingTimer tick;
    tick.startTimer (20);
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return tick.calls >= 1; }, 10000));

    const double now = juce::Time::getMillisecondCounterHiRes();
    EXPECT_FALSE (SharedTimer::runSharedTickWithVBlank (now + 16.0, 0)) << "no period known";
    EXPECT_FALSE (SharedTimer::runSharedTickWithVBlank (now + 16.0, 16)) << "16 ms does not divide 20";
    EXPECT_FALSE (SharedTimer::runSharedTickWithVBlank (now + 1.0, 10)) << "not due within half a blank";
    EXPECT_EQ (tick.calls, 1);

    // Whether a blank and a tick came in one pass: each marks the pass, and a
    // message posted meanwhile clears the mark once the pass is over.
    struct PassMark
    {
        bool set = false;
        void mark()
        {
            if (set)
                return;
            set = true;
            juce::MessageManager::callAsync ([this] { set = false; });
        }
    };
    PassMark blankPass, tickPass;
    int ticksWithABlank = 0, ticksCounted = 0;
    bool counting = false;

    struct Blanks : juce::Timer
    {
        std::function<void()> onBlank;
        void timerCallback() override { onBlank(); }
    } blanks;
    blanks.onBlank = [&] {
        if (counting && tickPass.set)
            ++ticksWithABlank; // the tick came first in this pass
        blankPass.mark();
        SharedTimer::runSharedTickWithVBlank (juce::Time::getMillisecondCounterHiRes(), 10);
    };
    // The blanks start 5 ms out of step with the tick: the framework counts a
    // new timer's period from its last pass, here that of a 5 ms timer the
    // tick started.
    struct Starter : juce::Timer
    {
        std::function<void()> onCall;
        void timerCallback() override { stopTimer(); onCall(); }
    } starter;
    starter.onCall = [&] { blanks.startTimer (10); };
    tick.onCall = [&] {
        if (! starter.isTimerRunning() && ! blanks.isTimerRunning())
            starter.startTimer (5);
    };
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return blanks.isTimerRunning(); }, 10000));
    tick.onCall = [&] {
        if (! counting)
            return;
        ++ticksCounted;
        if (blankPass.set)
            ++ticksWithABlank;
        tickPass.mark();
    };
    test::pumpMessages (200);
    counting = true;
    const int callsBefore = tick.calls;
    test::pumpMessages (1000);
    counting = false;
    blanks.stopTimer();
    tick.stopTimer();

    EXPECT_NEAR (tick.calls - callsBefore, 50, 10) << "the tick kept its rate";
    EXPECT_GE (ticksWithABlank, ticksCounted * 8 / 10) << ticksWithABlank << " of " << ticksCounted;
    test::pumpMessages (50);
}

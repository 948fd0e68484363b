#include "common/events/SharedTimer.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

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

/** A framework timer that runs what the test gives it. */
struct CallingTimer : public juce::Timer
{
    void timerCallback() override { onCall(); }
    std::function<void()> onCall;
};

/** Numbers the passes of the framework's timers that the timers of a test
    are called in: a call with no mark set begins a new pass, and a message
    posted with the mark clears it once the pass is over. */
struct Passes
{
    int current = 0;
    bool marked = false;

    int note()
    {
        if (! std::exchange (marked, true))
        {
            ++current;
            juce::MessageManager::callAsync ([this] { marked = false; });
        }
        return current;
    }
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

// A blank runs the tick only when it is due within half a blank, and only
// when the display's period divides the tick; never inside the tick's own
// pass. A tick it runs, or one that ran within the last half blank, counts on
// from the blank's pass: its next call comes in the same pass as a timer
// restarted there with the tick's period. The blank here comes 8 ms after a
// tick and is told the time since it, so the case does not hang on how busy
// the machine is.
TEST (SharedTimer, ABlankRunsATickDueWithinHalfABlankAndNoOther)
{
    struct Case
    {
        double sinceTickMs;
        int vblankIntervalMs;
        bool runs, restarts;
        const char* why;
    };
    const Case cases[] = {
        { 16.0, 10, true, true, "due within half a 10 ms blank" },
        { 18.0, 5, true, true, "due within half a 5 ms blank" },
        { 11.0, 20, true, true, "due within half a 20 ms blank" },
        { 2.0, 10, false, true, "ran within the last half blank" },
        { 14.0, 10, false, false, "not due within half a blank" },
        { 17.0, 5, false, false, "not due within half a 5 ms blank" },
        { 19.0, 0, false, false, "no period known" },
        { 19.0, 16, false, false, "16 ms does not divide 20" },
        { 19.0, 30, false, false, "a blank longer than the tick" },
    };

    CountingTimer tick;
    CallingTimer blank;
    Passes passes;
    tick.startTimer (20);
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.why);
        enum class Stage { tick, blank, after };
        auto stage = Stage::tick;
        double ranAt = 0;
        int callsAtRun = 0, nextTickPass = 0, nextBlankPass = 0;
        tick.onCall = [&] {
            const int pass = passes.note();
            if (stage == Stage::tick)
            {
                ranAt = SharedTimer::getLastSharedTickMs();
                callsAtRun = tick.calls;
                EXPECT_FALSE (SharedTimer::runSharedTickWithVBlank (ranAt + 19.0, 10)) << "inside the tick's own pass";
                blank.startTimer (8);
                stage = Stage::blank;
            }
            else if (stage == Stage::after && nextTickPass == 0)
                nextTickPass = pass;
        };
        blank.onCall = [&] {
            const int pass = passes.note();
            if (stage == Stage::blank && tick.calls != callsAtRun)
            {
                // So late that the tick ran again first: the case starts over.
                blank.stopTimer();
                stage = Stage::tick;
            }
            else if (stage == Stage::blank)
            {
                blank.startTimer (20);
                EXPECT_EQ (SharedTimer::runSharedTickWithVBlank (ranAt + c.sinceTickMs, c.vblankIntervalMs), c.runs);
                EXPECT_EQ (tick.calls - callsAtRun, c.runs ? 1 : 0);
                stage = Stage::after;
            }
            else if (stage == Stage::after && nextBlankPass == 0)
                nextBlankPass = pass;
        };
        ASSERT_TRUE (test::pumpMessagesUntil ([&] { return nextTickPass != 0 && nextBlankPass != 0; }, 10000));
        blank.stopTimer();
        if (c.restarts)
        {
            EXPECT_EQ (nextTickPass, nextBlankPass) << "the tick did not count on from the blank";
        }
    }
    tick.stopTimer();
    test::pumpMessages (50); // the passes' last mark
}

// Blanks of a 10 ms display, each a framework timer's call as the windows'
// are, start 5 ms out of step with the 20 ms tick; their calls bring the tick
// into their own wake-ups, so that from some point on tick after tick comes in
// the same pass of the framework's timers as a blank, none alone in between.
// How soon depends on how busy the machine is (a late pass runs every timer
// then due, in step or not), so the test waits generously for ten in a row.
TEST (SharedTimer, TicksFallInStepWithTheBlanksOfADisplayWhosePeriodDividesThem)
{
    CountingTimer tick;
    tick.startTimer (20);
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return tick.calls >= 1; }, 10000));

    Passes passes;
    int tickPass = 0, blankPass = 0, ticksInStep = 0, mostTicksInStep = 0;
    bool counting = false;

    // A tick is decided once a later pass begins: in step if a blank shared its pass.
    const auto decideLastTick = [&] (int pass) {
        if (! counting || tickPass == 0 || tickPass == pass)
            return;
        ticksInStep = blankPass == tickPass ? ticksInStep + 1 : 0;
        mostTicksInStep = std::max (mostTicksInStep, ticksInStep);
        tickPass = 0;
    };

    CallingTimer blanks;
    blanks.onCall = [&] {
        const int pass = passes.note();
        decideLastTick (pass);
        blankPass = pass;
        SharedTimer::runSharedTickWithVBlank (juce::Time::getMillisecondCounterHiRes(), 10);
    };
    // The framework counts a new timer's period from its last pass, here that
    // of a 5 ms timer the tick started.
    CallingTimer starter;
    starter.onCall = [&] {
        starter.stopTimer();
        blanks.startTimer (10);
    };
    tick.onCall = [&] {
        if (! starter.isTimerRunning() && ! blanks.isTimerRunning())
            starter.startTimer (5);
    };
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return blanks.isTimerRunning(); }, 10000));
    tick.onCall = [&] {
        const int pass = passes.note();
        decideLastTick (pass);
        tickPass = pass;
    };
    counting = true;
    const bool fellInStep = test::pumpMessagesUntil ([&] { return mostTicksInStep >= 10; }, 20000);
    counting = false;
    blanks.stopTimer();
    tick.stopTimer();

    EXPECT_TRUE (fellInStep) << "at most " << mostTicksInStep << " ticks in a row came with a blank";
    test::pumpMessages (50);
}

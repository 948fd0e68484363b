#include "common/events/VBlankInterval.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zund;

// The period is claimed only from a steady run of blanks: a window that
// stalls, or blanks at a rate that is not whole milliseconds, claim none.
TEST (VBlankInterval, APeriodIsToldOnlyByASteadyRunOfBlanks)
{
    struct Case
    {
        const char* what;
        std::function<double (int)> gapBefore; // the gap before blank i (i from 1)
        int blanks;
        int expected;
    };
    const Case cases[] = {
        { "100 Hz", [] (int) { return 10.0; }, 40, 10 },
        { "50 Hz", [] (int) { return 20.0; }, 40, 20 },
        { "a timer of 16 ms (60 Hz)", [] (int) { return 16.0; }, 40, 16 },
        { "100 Hz, each blank up to 2 ms late", [] (int i) { return i % 2 == 0 ? 12.0 : 8.0; }, 41, 10 },
        { "too few blanks yet", [] (int) { return 10.0; }, 16, 0 },
        { "a 50 ms stall among the last 16", [] (int i) { return i == 35 ? 50.0 : 10.0; }, 40, 0 },
        { "a stall long past", [] (int i) { return i == 5 ? 50.0 : 10.0; }, 40, 10 },
        { "59.94 Hz", [] (int) { return 1000.0 / 59.94; }, 40, 0 },
    };
    for (const auto& c : cases)
    {
        VBlankInterval interval;
        double t = 1000.0;
        int told = -1;
        for (int i = 0; i < c.blanks; ++i)
        {
            t += i == 0 ? 0.0 : c.gapBefore (i);
            told = interval.blankAt (t);
        }
        EXPECT_EQ (told, c.expected) << c.what;
    }
}

// When does a device count as stopped? A scripted device delivers 5 ms blocks
// (two bumps of the counter each); the watchdog looks every 100 ms for six
// seconds. Times in ms; "never" for what does not happen.

#include "app/device/DeviceWatchdog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace zund;

namespace
{
constexpr double never = 1.0e9;

struct Script
{
    const char* what;
    double blocksUntil;                 // blocks come from 0 until then,
    double resumeFrom, resumeUntil;     // and again over this span
    double idleFrom, idleUntil;         // the device should not run (closed, no active channel)
    double stopReportedAt;              // the device reports a stop
    double quittingFrom, changingFrom;  // the program quits, changes the device
    double blockStuckFrom;              // a block begins and does not end
    double lossAt;                      // when the loss must be reported
};

const Script scripts[] = {
    // what                                   until   resume        idle          stop    quit   change stuck  loss
    { "blocks stop while the device runs",     2000, never, never, never, never, never, never, never, never, 3000 },
    { "blocks keep coming",                    never, never, never, never, never, never, never, never, never, never },
    { "a pause shorter than the limit",        2000, 2800, never, never, never, never, never, never, never, never },
    { "the program quits",                     2000, never, never, never, never, never, 2000, never, never, never },
    { "the device is being changed",           2000, never, never, never, never, never, never, 1900, never, never },
    { "no active channel (JACK, unconnected)", 2000, never, never, 2000, never, never, never, never, never, never },
    { "no block yet since a fresh start",      0, never, never, never, never, never, never, never, never, never },
    { "a reported stop, no block since",       2000, never, never, never, never, 2000, never, never, never, never },
    { "a reported stop, blocks, none again",   2000, 2500, 3500, never, never, 2000, never, never, never, 4500 },
    { "a block longer than a second (a plug-in being prepared)",
                                               2000, never, never, never, never, never, never, never, 2000, never },
    { "closed, opened again, blocks stop",     2000, 3000, 3200, 2000, 2600, never, never, never, never, 4200 },
};

std::uint64_t progress (double t, double from, double until)
{
    const double end = std::min (t, until);
    return end <= from ? 0 : 2 * (std::uint64_t) ((end - from) / 5.0);
}

DeviceWatchdog::Observation at (const Script& s, double t)
{
    DeviceWatchdog::Observation seen;
    seen.blockProgress = progress (t, 0, s.blocksUntil) + progress (t, s.resumeFrom, s.resumeUntil)
                       + (t >= s.blockStuckFrom ? 1 : 0);
    seen.stops = t >= s.stopReportedAt ? 1 : 0;
    seen.deviceShouldRun = t < s.idleFrom || t >= s.idleUntil;
    seen.quitting = t >= s.quittingFrom;
    seen.changingDevice = t >= s.changingFrom;
    return seen;
}
}

TEST (DeviceWatchdog, ReportsBlocksThatStopForASecondWhileTheDeviceShouldRun)
{
    for (const auto& script : scripts)
    {
        double now = 0;
        DeviceWatchdog watchdog ([&now] { return now; });
        std::vector<double> reports;
        for (; now <= 6000; now += 100)
            if (watchdog.blocksStopped (at (script, now)))
                reports.push_back (now);

        if (script.lossAt == never)
        {
            EXPECT_TRUE (reports.empty()) << script.what << ": reported at " << reports.front() << " ms";
            continue;
        }
        ASSERT_EQ (reports.size(), 1u) << script.what;
        // About a second after the last block: never sooner, at most a look later.
        EXPECT_GE (reports.front(), script.lossAt) << script.what;
        EXPECT_LE (reports.front(), script.lossAt + 100) << script.what;
    }
}

#include "app/device/DeviceWatchdog.h"

namespace zund
{
DeviceWatchdog::DeviceWatchdog (Clock clockToUse) : clock (std::move (clockToUse))
{
}

bool DeviceWatchdog::blocksStopped (const Observation& seen)
{
    const double now = clock();

    // Not watching, or a fresh start: wait for its first block.
    if (! shouldWatch (seen) || ! watching || seen.stops != stopsSeen)
    {
        watching = shouldWatch (seen);
        sawBlock = false;
        reported = false;
        progressSeen = seen.blockProgress;
        stopsSeen = seen.stops;
        return false;
    }

    const bool insideBlock = (seen.blockProgress & 1u) != 0;
    if (seen.blockProgress != progressSeen || insideBlock)
    {
        sawBlock = sawBlock || seen.blockProgress != progressSeen;
        progressSeen = seen.blockProgress;
        lastProgressMs = now;
        return false;
    }

    if (! sawBlock || reported || now - lastProgressMs < silenceLimitMs)
        return false;
    reported = true;
    return true;
}
}

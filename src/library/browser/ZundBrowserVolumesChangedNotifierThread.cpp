#include "library/browser/ZundBrowserVolumesChangedNotifierThread.h"

namespace zund
{
ZundBrowserVolumesChangedNotifierThread::ZundBrowserVolumesChangedNotifierThread (RootsReader reader)
    : juce::Thread ("VolumesChangedNotifierThread"),
      readRoots (std::move (reader)),
      lastRoots (readRoots())
{
}

ZundBrowserVolumesChangedNotifierThread::~ZundBrowserVolumesChangedNotifierThread()
{
    stopThread (-1);
}

void ZundBrowserVolumesChangedNotifierThread::run()
{
    while (! threadShouldExit())
    {
        // The set, not just the count: one stick swapped for another is a change.
        auto roots = readRoots();
        if (roots != lastRoots)
        {
            lastRoots = std::move (roots);
            sendChangeMessage();
        }
        wait (pollIntervalMs);
    }
}
}

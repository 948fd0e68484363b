#pragma once

#include "library/browser/FileSystemRoots.h"

#include <juce_events/juce_events.h>

#include <functional>

namespace zund
{
/** Watches the set of drives (every 500 ms) and sends a change message when a
    volume comes or goes. */
class ZundBrowserVolumesChangedNotifierThread : public juce::Thread, public juce::ChangeBroadcaster
{
public:
    using RootsReader = std::function<std::vector<FileSystemRoot>()>;

    /** Reads the drives once at once; `reader` replaces this machine's mount
        table (tests). */
    explicit ZundBrowserVolumesChangedNotifierThread (RootsReader reader = readFileSystemRoots);
    ~ZundBrowserVolumesChangedNotifierThread() override;

    static constexpr int pollIntervalMs = 500;

    void run() override;

private:
    RootsReader readRoots;
    std::vector<FileSystemRoot> lastRoots;
};
}

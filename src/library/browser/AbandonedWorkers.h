#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace zund
{
/** Stops worker threads from the message thread without waiting for ever. A
    worker stuck in a file read (a hung network mount) is left to finish on its
    own and deleted once it has. Such a worker must not touch anything that may
    go away meanwhile: the message-manager lock is no longer granted to it (its
    exit flag is set), and whatever else it reaches its owner must cut off. */
struct AbandonedWorkers
{
    /** Signals the thread and waits at most `timeoutMs` for it. True when it
        has ended (the caller keeps it); false when it was taken over and left
        running (`worker` is then null). */
    template <typename ThreadType>
    static bool stop (std::unique_ptr<ThreadType>& worker, int timeoutMs)
    {
        if (worker == nullptr)
            return true;

        worker->signalThreadShouldExit();
        if (worker->waitForThreadToExit (timeoutMs))
            return true;

        leave (std::unique_ptr<juce::Thread> (worker.release()));
        return false;
    }

    /** Threads left running that have not ended yet. */
    static int numStillRunning();

private:
    static void leave (std::unique_ptr<juce::Thread> worker);
};
}

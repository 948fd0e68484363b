#include "library/database/LibraryAutoSaver.h"

namespace zund
{
namespace
{
juce::int64 nowMs()
{
    return (juce::int64) juce::Time::getMillisecondCounterHiRes();
}
}

LibraryAutoSaver::LibraryAutoSaver (std::vector<Source> sources, Timing t)
    : juce::Thread ("LibraryAutoSaver"), timing (t)
{
    const auto now = nowMs();
    for (auto& source : sources)
    {
        auto w = std::make_unique<Watched>();
        w->source = std::move (source);
        w->lastFingerprint = w->source.fingerprint();
        w->pending = w->source.startsDirty != nullptr && w->source.startsDirty();
        w->firstChangeMs = w->lastChangeMs = now;
        watched.push_back (std::move (w));
    }

    // Below the message thread and far below the audio thread.
    startThread (juce::Thread::Priority::low);
    startTimer (timing.pollMs);
}

LibraryAutoSaver::~LibraryAutoSaver()
{
    stop();
}

void LibraryAutoSaver::stop()
{
    stopTimer();
    signalThreadShouldExit();
    jobsWaiting.signal();
    // A write under way ends first: the exit saves must not race it.
    stopThread (-1);
}

void LibraryAutoSaver::timerCallback()
{
    const auto now = nowMs();
    for (auto& w : watched)
    {
        if (w->failed.exchange (false))
        {
            // Tried again in a while (a full disk may clear); the exit save reports it.
            w->pending = true;
            w->notBeforeMs = now + timing.longestMs;
        }

        const auto fingerprint = w->source.fingerprint();
        if (fingerprint != w->lastFingerprint)
        {
            w->lastFingerprint = fingerprint;
            w->lastChangeMs = now;
            if (! w->pending)
                w->firstChangeMs = now;
            w->pending = true;
        }

        const bool due = now - w->lastChangeMs >= timing.quietMs || now - w->firstChangeMs >= timing.longestMs;
        if (! w->pending || ! due || now < w->notBeforeMs || w->busy.load())
            continue;

        w->pending = false;
        if (auto job = w->source.prepare())
        {
            w->busy = true;
            const juce::ScopedLock sl (jobLock);
            jobs.emplace_back (w.get(), std::move (job));
            jobsWaiting.signal();
        }
    }
}

void LibraryAutoSaver::run()
{
    while (! threadShouldExit())
    {
        jobsWaiting.wait (1000);
        for (;;)
        {
            std::pair<Watched*, std::function<bool()>> job;
            {
                const juce::ScopedLock sl (jobLock);
                if (jobs.empty())
                    break;
                job = std::move (jobs.front());
                jobs.erase (jobs.begin());
            }
            if (! job.second())
                job.first->failed = true;
            job.first->busy = false;
            ++savesDone;
        }
    }
}
}

#include "library/database/LibraryAutoSaver.h"

namespace zund
{
LibraryAutoSaver::LibraryAutoSaver (std::vector<Source> sources, Timing t)
    : juce::Thread ("LibraryAutoSaver"), timing (std::move (t))
{
    const auto start = now();
    for (auto& source : sources)
    {
        auto w = std::make_unique<Watched>();
        w->source = std::move (source);
        w->lastFingerprint = w->source.fingerprint();
        w->pending = w->source.startsDirty != nullptr && w->source.startsDirty();
        w->firstChangeMs = w->lastChangeMs = start;
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

juce::int64 LibraryAutoSaver::now() const
{
    return timing.clock != nullptr ? timing.clock() : (juce::int64) juce::Time::getMillisecondCounterHiRes();
}

void LibraryAutoSaver::stop()
{
    stopTimer();
    signalThreadShouldExit();
    jobsWaiting.signal();
    // A write under way ends first: the exit saves must not race it.
    stopThread (-1);
}

void LibraryAutoSaver::setFailureHandler (std::function<void (const juce::String&)> handler)
{
    failureHandler = std::move (handler);
}

juce::String LibraryAutoSaver::takeNewFailure (Watched& w, juce::int64 time)
{
    const auto outcome = w.outcome.exchange (noOutcome);
    if (outcome == written)
        w.failureTold = false; // the next failure of this file is news again
    if (outcome != failed)
        return {};

    // Tried again in a while: a full disk may clear, a folder become writable.
    w.pending = true;
    w.notBeforeMs = time + timing.longestMs;
    if (w.failureTold)
        return {};
    w.failureTold = true;
    const juce::ScopedLock sl (jobLock);
    return w.failure;
}

void LibraryAutoSaver::timerCallback()
{
    const auto time = now();
    juce::StringArray newFailures;
    for (auto& w : watched)
    {
        newFailures.add (takeNewFailure (*w, time));

        const auto fingerprint = w->source.fingerprint();
        if (fingerprint != w->lastFingerprint)
        {
            w->lastFingerprint = fingerprint;
            w->lastChangeMs = time;
            if (! w->pending)
                w->firstChangeMs = time;
            w->pending = true;
        }

        const bool due = time - w->lastChangeMs >= timing.quietMs || time - w->firstChangeMs >= timing.longestMs;
        if (! w->pending || ! due || time < w->notBeforeMs || w->busy.load())
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

    // Last, as the handler may show a box (and run the message loop meanwhile).
    newFailures.removeEmptyStrings();
    if (! newFailures.isEmpty() && failureHandler != nullptr)
        failureHandler (newFailures.joinIntoString ("\n\n"));
}

void LibraryAutoSaver::run()
{
    while (! threadShouldExit())
    {
        jobsWaiting.wait (1000);
        for (;;)
        {
            std::pair<Watched*, Write> job;
            {
                const juce::ScopedLock sl (jobLock);
                if (jobs.empty())
                    break;
                job = std::move (jobs.front());
                jobs.erase (jobs.begin());
            }

            juce::String reason;
            const bool ok = job.second (reason);
            auto& w = *job.first;
            if (! ok)
            {
                const juce::ScopedLock sl (jobLock);
                w.failure = reason.isNotEmpty() ? reason : "A library file could not be saved.";
            }
            w.outcome = ok ? written : failed;
            w.busy = false;
            ++savesDone;
        }
    }
}
}

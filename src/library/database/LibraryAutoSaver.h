#pragma once

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace zund
{
/** Writes the library's files while the program runs, so that a crash or a
    power cut in the middle of a set loses little: each file a few seconds
    after its last change, and at least once a minute while changes keep
    coming. Changes are looked for on the message thread; the writing happens
    on a thread of its own at low priority, from copies (files are written
    beside and renamed, as at exit). The saves at exit stay; stop() comes
    before them. */
class LibraryAutoSaver : private juce::Timer, private juce::Thread
{
public:
    /** One file kept up to date. Both functions run on the message thread. */
    struct Source
    {
        /** Tells what would be written now: it differs after every change
            (a change count, a hash of the contents). Cheap enough for every second. */
        std::function<juce::uint64()> fingerprint;

        /** Takes what to write now (copying what only the message thread may
            touch) and gives the work that writes it on the saving thread; null
            when nothing may be written. */
        std::function<std::function<bool()>()> prepare;

        /** Whether it has unsaved changes before any change is seen (a database
            the start-up check repaired); may be null. */
        std::function<bool()> startsDirty;
    };

    struct Timing
    {
        int quietMs = 3000;     // after the last change
        int longestMs = 60000;  // after the first unsaved change, however busy
        int pollMs = 500;
    };

    LibraryAutoSaver (std::vector<Source> sources, Timing timing);
    explicit LibraryAutoSaver (std::vector<Source> sources) : LibraryAutoSaver (std::move (sources), Timing()) {}
    ~LibraryAutoSaver() override;

    /** No more saves; waits for one under way. */
    void stop();

    /** How many writes have ended (successful or not); any thread. */
    int getNumSavesDone() const noexcept { return savesDone.load(); }

private:
    struct Watched
    {
        Source source;
        juce::uint64 lastFingerprint = 0;
        bool pending = false;
        juce::int64 firstChangeMs = 0, lastChangeMs = 0, notBeforeMs = 0;
        std::atomic<bool> busy { false }, failed { false };
    };

    void timerCallback() override;
    void run() override;

    const Timing timing;
    std::vector<std::unique_ptr<Watched>> watched;

    juce::CriticalSection jobLock;
    std::vector<std::pair<Watched*, std::function<bool()>>> jobs;
    juce::WaitableEvent jobsWaiting;
    std::atomic<int> savesDone { 0 };

    JUCE_DECLARE_NON_COPYABLE (LibraryAutoSaver)
};
}

#pragma once

#include "common/events/SharedTimer.h"

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
    beside and renamed, as at exit). A write that fails is tried again a while
    later, and its reason is told once, not again until that file has been
    written. The saves at exit stay; stop() comes before them. */
class LibraryAutoSaver : private SharedTimer, private juce::Thread
{
public:
    /** The work that writes one file on the saving thread: true when written,
        otherwise false with the reason (which file, where, and why). */
    using Write = std::function<bool (juce::String& reason)>;

    /** One file kept up to date. Its functions run on the message thread. */
    struct Source
    {
        /** Tells what would be written now: it differs after every change
            (a change count, a hash of the contents). Cheap enough for every second. */
        std::function<juce::uint64()> fingerprint;

        /** Takes what to write now (copying what only the message thread may
            touch) and gives the work that writes it on the saving thread; null
            when nothing may be written. */
        std::function<Write()> prepare;

        /** Whether it has unsaved changes before any change is seen (a database
            the start-up check repaired); may be null. */
        std::function<bool()> startsDirty;
    };

    struct Timing
    {
        int quietMs = 3000;     // after the last change
        int longestMs = 60000;  // after the first unsaved change, however busy
        int pollMs = 500;
        /** Milliseconds, counting up; null for the system's counter. */
        std::function<juce::int64()> clock;
    };

    LibraryAutoSaver (std::vector<Source> sources, Timing timing);
    explicit LibraryAutoSaver (std::vector<Source> sources) : LibraryAutoSaver (std::move (sources), Timing()) {}
    ~LibraryAutoSaver() override;

    /** No more saves; waits for one under way. */
    void stop();

    /** Called on the message thread with the reasons of writes that failed
        (those seen at one look together, one paragraph each). A file is told
        once, then not again until a write of it has succeeded. Writes that
        failed are tried again every longest spell. */
    void setFailureHandler (std::function<void (const juce::String& reasons)> handler);

    /** How many writes have ended (successful or not); any thread. */
    int getNumSavesDone() const noexcept { return savesDone.load(); }

private:
    enum Outcome
    {
        noOutcome,
        written,
        failed
    };

    struct Watched
    {
        Source source;
        juce::uint64 lastFingerprint = 0;
        bool pending = false;
        juce::int64 firstChangeMs = 0, lastChangeMs = 0, notBeforeMs = 0;
        std::atomic<bool> busy { false };
        std::atomic<int> outcome { noOutcome }; // of the last write, until the message thread sees it
        juce::String failure;                   // under jobLock: why the last write failed
        bool failureTold = false;               // message thread
    };

    void timerCallback() override;
    void run() override;
    juce::int64 now() const;
    /** A write's outcome, seen on the message thread; the reason when it is news. */
    juce::String takeNewFailure (Watched& w, juce::int64 time);

    const Timing timing;
    std::vector<std::unique_ptr<Watched>> watched;

    juce::CriticalSection jobLock;
    std::vector<std::pair<Watched*, Write>> jobs;
    juce::WaitableEvent jobsWaiting;
    std::atomic<int> savesDone { 0 };
    std::function<void (const juce::String&)> failureHandler;

    JUCE_DECLARE_NON_COPYABLE (LibraryAutoSaver)
};
}

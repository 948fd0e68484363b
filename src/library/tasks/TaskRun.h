#pragma once

#include "library/tasks/TaskProgress.h"

#include <atomic>
#include <functional>
#include <memory>

namespace zund
{
/** One run of a task body on a thread of its own, which whoever waits for it
    may give up on after a cancel (a file on a hung mount can stall a read for
    ever): the body then touches nothing more of the database or its caller's
    data, and its results are dropped. The body keeps alive what it uses
    itself (the work function owns it). */
class TaskRun : public TaskProgress
{
public:
    using Work = std::function<void (TaskProgress&)>;

    /** Starts the work on a thread that ends by itself. */
    static std::shared_ptr<TaskRun> start (Work work);

    /** True once the work has returned (waits at most that long). */
    bool waitUntilFinished (int milliseconds);
    bool hasFinished() const noexcept { return finished.load(); }

    void cancel() noexcept { cancelled = true; }

    /** Gives the run up: from now on the body is refused every hold. Waits at
        most that long for a hold under way to end. */
    void abandon (int milliseconds);
    bool wasAbandoned() const noexcept { return abandoned.load(); }

    juce::String getStatus() const;
    double getProgress() const noexcept { return progress.load(); }

    // TaskProgress, for the body.
    void showStatus (const juce::String& text) override;
    void showProgress (double fraction) override { progress = fraction; }
    bool isCancelled() const override { return cancelled.load() || abandoned.load(); }
    TaskHold holdResults() override;

private:
    TaskRun() = default;

    std::atomic<bool> cancelled { false }, abandoned { false }, finished { false };
    std::atomic<double> progress { 0.0 };
    std::mutex resultsLock;
    juce::WaitableEvent finishedEvent { true };
    juce::CriticalSection statusLock;
    juce::String status;
};
}

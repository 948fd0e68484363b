#include "library/tasks/TaskRun.h"

namespace zund
{
std::shared_ptr<TaskRun> TaskRun::start (Work work)
{
    std::shared_ptr<TaskRun> run (new TaskRun());
    auto body = [run, work = std::move (work)] {
        work (*run);
        run->finished = true;
        run->finishedEvent.signal();
    };
    if (! juce::Thread::launch (juce::Thread::Priority::normal, body))
        body(); // no thread to be had: the work runs here
    return run;
}

bool TaskRun::waitUntilFinished (int milliseconds)
{
    return finishedEvent.wait (milliseconds) || hasFinished();
}

void TaskRun::abandon (int milliseconds)
{
    std::unique_lock<std::timed_mutex> lock (resultsLock, std::defer_lock);
    (void) lock.try_lock_for (std::chrono::milliseconds (milliseconds));
    abandoned = true;
}

juce::String TaskRun::getStatus() const
{
    const juce::ScopedLock sl (statusLock);
    return status;
}

void TaskRun::showStatus (const juce::String& text)
{
    const juce::ScopedLock sl (statusLock);
    status = text;
}

TaskHold TaskRun::holdResults()
{
    std::unique_lock<std::timed_mutex> lock (resultsLock);
    if (abandoned.load())
        return TaskHold::givenUp();
    return TaskHold (std::move (lock));
}
}

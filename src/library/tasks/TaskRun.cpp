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
    // A hold under way (a database step, never a file read) ends soon; waited
    // for in short steps, up to the limit.
    const auto giveUpAt = juce::Time::getMillisecondCounter() + (juce::uint32) juce::jmax (0, milliseconds);
    std::unique_lock<std::mutex> lock (resultsLock, std::defer_lock);
    while (! lock.try_lock() && juce::Time::getMillisecondCounter() < giveUpAt)
        juce::Thread::sleep (1);
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
    std::unique_lock<std::mutex> lock (resultsLock);
    if (abandoned.load())
        return TaskHold::givenUp();
    return TaskHold (std::move (lock));
}
}

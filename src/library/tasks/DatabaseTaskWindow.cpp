#include "library/tasks/DatabaseTaskWindow.h"

#include <atomic>

namespace zund
{
namespace
{
// The window's own thread only waits for the task, and ends well within this
// after a cancel, so the framework never has to end it by force.
constexpr int windowThreadStopMs = 5 * DatabaseTaskWindow::stopWaitMs;
std::atomic<bool> windowsShown { true };
}

void DatabaseTaskWindow::setWindowsShown (bool shown)
{
    windowsShown.store (shown);
}

bool DatabaseTaskWindow::areWindowsShown()
{
    return windowsShown.load();
}

DatabaseTaskWindow::DatabaseTaskWindow (const juce::String& title)
    : juce::ThreadWithProgressWindow (title, true, true, windowThreadStopMs, "Cancel")
{
}

DatabaseTaskWindow::~DatabaseTaskWindow()
{
    stopThread (windowThreadStopMs);
}

DatabaseTaskWindow::Ending DatabaseTaskWindow::runModally()
{
    taskRun = TaskRun::start (makeWork());
    launchThread (juce::Thread::Priority::normal);

    auto* messages = juce::MessageManager::getInstance();
    while (! ended)
    {
        // Once the program is quitting the loop dispatches nothing any more, and
        // the window could never see the task end: stop the task and leave.
        if (! messages->runDispatchLoopUntil (5))
        {
            cancelled = true;
            stopThread (windowThreadStopMs);
            break;
        }
    }

    if (taskRun->wasAbandoned())
        return Ending::givenUp;
    return cancelled ? Ending::cancelled : Ending::finished;
}

void DatabaseTaskWindow::run()
{
    while (! taskRun->waitUntilFinished (20))
    {
        setStatusMessage (taskRun->getStatus());
        setProgress (taskRun->getProgress());

        if (threadShouldExit())
        {
            taskRun->cancel();
            if (! taskRun->waitUntilFinished (stopWaitMs))
                taskRun->abandon (stopWaitMs);
            return;
        }
    }
    setStatusMessage (taskRun->getStatus());
    setProgress (taskRun->getProgress());
}

void DatabaseTaskWindow::threadComplete (bool userPressedCancel)
{
    cancelled = cancelled || userPressedCancel;
    ended = true;
}
}

#include "library/tasks/DatabaseTaskWindow.h"

namespace zund
{
namespace
{
constexpr int waitWithoutLimit = -1;
}

DatabaseTaskWindow::DatabaseTaskWindow (const juce::String& title)
    : juce::ThreadWithProgressWindow (title, true, true, waitWithoutLimit, "Cancel")
{
}

bool DatabaseTaskWindow::runModally()
{
    launchThread (juce::Thread::Priority::normal);

    auto* messages = juce::MessageManager::getInstance();
    while (! ended)
    {
        // Once the program is quitting the loop dispatches nothing any more, and
        // the window could never see the task end: stop the task and leave.
        if (! messages->runDispatchLoopUntil (5))
        {
            stopThread (waitWithoutLimit);
            return false;
        }
    }
    return ! cancelledByUser;
}

void DatabaseTaskWindow::run()
{
    runTask (progress);
}

void DatabaseTaskWindow::threadComplete (bool userPressedCancel)
{
    cancelledByUser = userPressedCancel;
    ended = true;
}
}

#pragma once

#include "library/tasks/TaskRun.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The modal progress window a database task runs behind: a title, the task's
    status text, a progress bar and "Cancel". The task runs on a thread of its
    own (TaskRun), never ended by force, which could leave it holding the
    database lock or half-way through a record. A cancel asks it to stop before
    its next file; one that does not stop within stopWaitMs (stuck in a file on
    a hung mount) is left to end on its own and its results are dropped, so the
    message thread never waits on it without limit. */
class DatabaseTaskWindow : public juce::ThreadWithProgressWindow
{
public:
    static constexpr int stopWaitMs = 2000;

    explicit DatabaseTaskWindow (const juce::String& title);
    ~DatabaseTaskWindow() override;

    enum class Ending
    {
        finished,
        cancelled, // by the user, or because the program is quitting
        givenUp    // cancelled and did not stop in time: its results are dropped
    };

    /** Runs the task while the window is shown modally; returns when the task has
        ended or was given up. */
    Ending runModally();

    /** Without windows (tests without a display) the tasks run on the calling
        thread and show nothing. */
    static void setWindowsShown (bool shown);
    static bool areWindowsShown();

protected:
    /** The task's work; it must own (share) whatever it uses besides the
        database and its caller's data, which it touches only under holds. */
    virtual TaskRun::Work makeWork() = 0;

private:
    void run() override;
    void threadComplete (bool userPressedCancel) override;

    std::shared_ptr<TaskRun> taskRun;
    bool ended = false;
    bool cancelled = false;

    JUCE_DECLARE_NON_COPYABLE (DatabaseTaskWindow)
};
}

#pragma once

#include "library/tasks/TaskProgress.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The modal progress window a database task runs behind: a title, the task's
    status text, a progress bar and "Cancel". A cancel asks the task to stop
    before its next file and waits for it: the thread is never ended by force,
    which could leave it holding the database lock or half-way through a record. */
class DatabaseTaskWindow : public juce::ThreadWithProgressWindow
{
public:
    explicit DatabaseTaskWindow (const juce::String& title);

    /** Runs the task while the window is shown modally; returns when the task has
        ended. False when the user cancelled (or the program is quitting). */
    bool runModally();

protected:
    /** The task's work, on the window's thread. */
    virtual void runTask (TaskProgress& progress) = 0;

private:
    void run() override;
    void threadComplete (bool userPressedCancel) override;

    /** Hands the task's reports to the window. */
    struct WindowProgress : TaskProgress
    {
        explicit WindowProgress (DatabaseTaskWindow& w) : window (w) {}
        void showStatus (const juce::String& text) override { window.setStatusMessage (text); }
        void showProgress (double fraction) override { window.setProgress (fraction); }
        bool isCancelled() const override { return window.threadShouldExit(); }
        DatabaseTaskWindow& window;
    };

    WindowProgress progress { *this };
    bool ended = false;
    bool cancelledByUser = false;

    JUCE_DECLARE_NON_COPYABLE (DatabaseTaskWindow)
};
}

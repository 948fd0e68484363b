#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** What a database task tells the window that runs it, and asks of it. The task
    runs on its own thread; the window shows the latest status and progress. */
class TaskProgress
{
public:
    virtual ~TaskProgress() = default;

    virtual void showStatus (const juce::String& text) = 0;

    /** 0..1; a value of 1 or more shows the window's busy display. */
    virtual void showProgress (double fraction) = 0;

    /** True once the user has cancelled: the task stops before its next file. */
    virtual bool isCancelled() const = 0;
};
}

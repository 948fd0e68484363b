#pragma once

#include <juce_core/juce_core.h>

#include <mutex>

namespace zund
{
/** Held by a task while it touches the database or what its caller gave it.
    An empty one (false) says the task has been given up (its window stopped
    waiting for it): it must touch nothing more and end. */
class TaskHold
{
public:
    /** Open, holding nothing: nobody can give the task up. */
    TaskHold() = default;
    explicit TaskHold (std::unique_lock<std::mutex> heldLock) : lock (std::move (heldLock)) {}

    static TaskHold givenUp()
    {
        TaskHold hold;
        hold.open = false;
        return hold;
    }

    explicit operator bool() const noexcept { return open; }

private:
    std::unique_lock<std::mutex> lock;
    bool open = true;
};

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

    /** To be held while the task touches the database or its caller's data
        (never while it reads a file, which may stall); false when the task was
        given up. Holds do not nest. */
    virtual TaskHold holdResults() { return {}; }
};
}

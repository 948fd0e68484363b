#pragma once

#include "library/tasks/DatabaseTaskWindow.h"

#include <memory>
#include <utility>

namespace zund
{
/** A progress window that runs one task body (any class with run (TaskProgress&)).
    The body is shared with its run, which may outlive the window when it is
    given up. */
template <typename Body>
class TaskWindowFor : public DatabaseTaskWindow
{
public:
    template <typename... BodyArguments>
    explicit TaskWindowFor (const juce::String& title, BodyArguments&&... arguments)
        : DatabaseTaskWindow (title), body (std::make_shared<Body> (std::forward<BodyArguments> (arguments)...))
    {
    }

    /** Only for a run that was not given up. */
    Body& getBody() noexcept { return *body; }

private:
    TaskRun::Work makeWork() override
    {
        return [shared = body] (TaskProgress& progress) { shared->run (progress); };
    }

    std::shared_ptr<Body> body;
};
}

#pragma once

#include "library/tasks/DatabaseTaskWindow.h"

#include <utility>

namespace zund
{
/** A progress window that runs one task body (any class with run (TaskProgress&)). */
template <typename Body>
class TaskWindowFor : public DatabaseTaskWindow
{
public:
    template <typename... BodyArguments>
    explicit TaskWindowFor (const juce::String& title, BodyArguments&&... arguments)
        : DatabaseTaskWindow (title), body (std::forward<BodyArguments> (arguments)...)
    {
    }

    Body& getBody() noexcept { return body; }

private:
    void runTask (TaskProgress& progress) override { body.run (progress); }

    Body body;
};
}

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <optional>

namespace zund::test
{
/** Puts a component into the modal state (without a modal loop) and records
    the result it leaves it with; ends a modal state still running at the end. */
class ModalRun
{
public:
    explicit ModalRun (juce::Component& component);
    ~ModalRun();

    /** Runs the message loop until the component has left its modal state. */
    bool closed (int timeoutMs = 1000);

    std::optional<int> result() const { return *outcome; }

private:
    juce::Component& component;
    std::shared_ptr<std::optional<int>> outcome = std::make_shared<std::optional<int>>();
};
}

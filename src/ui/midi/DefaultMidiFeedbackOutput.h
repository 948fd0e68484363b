#pragma once

#include "ui/midi/MidiFeedbackOutput.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>
#include <memory>

namespace zund
{
/** Feedback to the MIDI output chosen as the default one. It keeps a port of
    its own rather than sending through the device manager's, which the device
    selector deletes on the message thread while a MIDI thread may be sending
    through it; a new choice is opened first and then swapped in under the lock
    that every send holds. */
class DefaultMidiFeedbackOutput : public MidiFeedbackOutput
{
public:
    /** Opens the output with that identifier; null when it cannot be opened. */
    using PortOpener = std::function<std::unique_ptr<MidiFeedbackOutput> (const juce::String& identifier)>;

    /** Without an opener, the framework's MIDI outputs. */
    explicit DefaultMidiFeedbackOutput (PortOpener opener = {});
    ~DefaultMidiFeedbackOutput() override;

    /** Message thread: sends go to the output with this identifier from now on
        (none for an empty one). The open output again changes nothing. */
    void useOutput (const juce::String& identifier);

    bool isOpen() const noexcept { return open.load(); }

    /** Any thread; nothing while no output is open. */
    void sendMessageNow (const juce::MidiMessage& message) override;

private:
    PortOpener openPort;
    juce::String currentIdentifier;
    std::unique_ptr<MidiFeedbackOutput> port;
    std::atomic<bool> open { false };
    juce::CriticalSection portLock;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultMidiFeedbackOutput)
};
}

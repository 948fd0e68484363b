#include "ui/midi/DefaultMidiFeedbackOutput.h"

#include <juce_audio_devices/juce_audio_devices.h>

namespace zund
{
namespace
{
struct FrameworkMidiPort : public MidiFeedbackOutput
{
    explicit FrameworkMidiPort (std::unique_ptr<juce::MidiOutput> outputToUse) : output (std::move (outputToUse)) {}

    void sendMessageNow (const juce::MidiMessage& message) override { output->sendMessageNow (message); }

    std::unique_ptr<juce::MidiOutput> output;
};

std::unique_ptr<MidiFeedbackOutput> openFrameworkPort (const juce::String& identifier)
{
    if (auto output = juce::MidiOutput::openDevice (identifier))
        return std::make_unique<FrameworkMidiPort> (std::move (output));
    return nullptr;
}
}

DefaultMidiFeedbackOutput::DefaultMidiFeedbackOutput (PortOpener opener)
    : openPort (opener ? std::move (opener) : PortOpener (openFrameworkPort))
{
}

DefaultMidiFeedbackOutput::~DefaultMidiFeedbackOutput() = default;

void DefaultMidiFeedbackOutput::useOutput (const juce::String& identifier)
{
    // (An output that failed to open is tried again.)
    if (identifier == currentIdentifier && (port != nullptr || identifier.isEmpty()))
        return;
    currentIdentifier = identifier;

    // Opening may take a while: done before the lock, so no send waits for it.
    auto newPort = identifier.isNotEmpty() ? openPort (identifier) : nullptr;
    {
        const juce::ScopedLock sl (portLock);
        std::swap (port, newPort);
        open.store (port != nullptr);
    }
    // The old port closes here, once no send can reach it.
}

void DefaultMidiFeedbackOutput::sendMessageNow (const juce::MidiMessage& message)
{
    const juce::ScopedLock sl (portLock);
    if (port != nullptr)
        port->sendMessageNow (message);
}
}

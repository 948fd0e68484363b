#pragma once

#include "ui/midi/MidiFeedbackOutput.h"

#include <juce_audio_devices/juce_audio_devices.h>

namespace zund
{
/** Feedback to the device manager's default MIDI output, when one is open. */
class DefaultMidiFeedbackOutput : public MidiFeedbackOutput
{
public:
    explicit DefaultMidiFeedbackOutput (juce::AudioDeviceManager& manager) : deviceManager (manager) {}

    bool isOpen() const { return deviceManager.getDefaultMidiOutput() != nullptr; }

    void sendMessageNow (const juce::MidiMessage& message) override
    {
        if (auto* output = deviceManager.getDefaultMidiOutput())
            output->sendMessageNow (message);
    }

private:
    juce::AudioDeviceManager& deviceManager;
};
}

#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

namespace zund
{
class MainComponent;

/** One per MIDI input device: hands every message to the main component. */
class ZundMidiInputCallback : public juce::MidiInputCallback
{
public:
    explicit ZundMidiInputCallback (MainComponent& ownerToUse) : owner (ownerToUse) {}

    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;

private:
    MainComponent& owner;
};
}

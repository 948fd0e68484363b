#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

namespace zund::test
{
class FakeAudioDevice;

/** A kind of audio device for tests of the program's device handling,
    without sound cards or servers: it finds the devices named in `present`
    when it scans (as JACK lists its server's clients), and like JACK it keeps
    the names of its last scan until it scans again. Message thread. */
class FakeAudioDeviceType : public juce::AudioIODeviceType
{
public:
    static constexpr const char* typeName = "Fake";

    FakeAudioDeviceType() : juce::AudioIODeviceType (typeName) {}

    /** What a scan finds. */
    juce::StringArray present { "Card A", "Card B" };
    /** The rate of the devices made from now on. */
    double rate = 44100.0;

    /** The open device of the device manager, as this type made it; null when none. */
    FakeAudioDevice* getLastDevice() const noexcept { return lastDevice; }
    void deviceDeleted (FakeAudioDevice& device) noexcept;

    void scanForDevices() override { names = present; }
    juce::StringArray getDeviceNames (bool) const override { return names; }
    int getDefaultDeviceIndex (bool) const override { return 0; }
    int getIndexOfDevice (juce::AudioIODevice* device, bool asInput) const override;
    bool hasSeparateInputsAndOutputs() const override { return true; }
    juce::AudioIODevice* createDevice (const juce::String& outputName, const juce::String& inputName) override;

private:
    juce::StringArray names;
    FakeAudioDevice* lastDevice = nullptr;
};
}

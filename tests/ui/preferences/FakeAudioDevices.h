#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <map>

namespace zund::test
{
/** A device type of named devices with named channels that open at once and
    never call back; devices can be unplugged and plugged in again. */
class FakeAudioDevices : public juce::AudioIODeviceType
{
public:
    static constexpr const char* typeName = "Fake";

    struct Channels
    {
        juce::StringArray inputs, outputs;
    };

    FakeAudioDevices() : juce::AudioIODeviceType (typeName) {}

    void plugIn (const juce::String& name, Channels channels);
    /** The device manager closes the device when it was open. */
    void unplug (const juce::String& name);

    void scanForDevices() override {}
    juce::StringArray getDeviceNames (bool wantInputNames) const override;
    int getDefaultDeviceIndex (bool) const override { return 0; }
    int getIndexOfDevice (juce::AudioIODevice* device, bool asInput) const override;
    bool hasSeparateInputsAndOutputs() const override { return false; }
    juce::AudioIODevice* createDevice (const juce::String& outputDeviceName,
                                       const juce::String& inputDeviceName) override;

private:
    std::map<juce::String, Channels> devices;
};

/** A manager that knows only `devices`, with `name` open (none when empty). */
void useFakeDevices (juce::AudioDeviceManager& manager, std::unique_ptr<FakeAudioDevices> devices,
                     const juce::String& name);
/** Opens the named device as the device selector would. */
void openFakeDevice (juce::AudioDeviceManager& manager, const juce::String& name);

/** "In 1" .. "In <count>". */
juce::StringArray numberedChannels (const juce::String& prefix, int count);
}

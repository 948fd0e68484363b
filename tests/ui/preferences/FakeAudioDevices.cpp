#include "FakeAudioDevices.h"

namespace zund::test
{
namespace
{
class FakeDevice : public juce::AudioIODevice
{
public:
    FakeDevice (const juce::String& name, FakeAudioDevices::Channels channelNames)
        : juce::AudioIODevice (name, FakeAudioDevices::typeName), channels (std::move (channelNames))
    {
    }

    juce::StringArray getOutputChannelNames() override { return channels.outputs; }
    juce::StringArray getInputChannelNames() override { return channels.inputs; }
    juce::Array<double> getAvailableSampleRates() override { return { 44100.0 }; }
    juce::Array<int> getAvailableBufferSizes() override { return { 256 }; }
    int getDefaultBufferSize() override { return 256; }
    juce::String open (const juce::BigInteger& ins, const juce::BigInteger& outs, double, int) override
    {
        activeInputs = ins;
        activeOutputs = outs;
        opened = true;
        return {};
    }
    void close() override { opened = false; }
    bool isOpen() override { return opened; }
    void start (juce::AudioIODeviceCallback*) override {}
    void stop() override {}
    bool isPlaying() override { return opened; }
    juce::String getLastError() override { return {}; }
    int getCurrentBufferSizeSamples() override { return 256; }
    double getCurrentSampleRate() override { return 44100.0; }
    int getCurrentBitDepth() override { return 32; }
    juce::BigInteger getActiveOutputChannels() const override { return activeOutputs; }
    juce::BigInteger getActiveInputChannels() const override { return activeInputs; }
    int getOutputLatencyInSamples() override { return 0; }
    int getInputLatencyInSamples() override { return 0; }

private:
    FakeAudioDevices::Channels channels;
    juce::BigInteger activeInputs, activeOutputs;
    bool opened = false;
};
}

void FakeAudioDevices::plugIn (const juce::String& name, Channels channels)
{
    devices[name] = std::move (channels);
    callDeviceChangeListeners();
}

void FakeAudioDevices::unplug (const juce::String& name)
{
    devices.erase (name);
    callDeviceChangeListeners();
}

juce::StringArray FakeAudioDevices::getDeviceNames (bool) const
{
    juce::StringArray names;
    for (const auto& device : devices)
        names.add (device.first);
    return names;
}

int FakeAudioDevices::getIndexOfDevice (juce::AudioIODevice* device, bool) const
{
    return device != nullptr ? getDeviceNames (false).indexOf (device->getName()) : -1;
}

juce::AudioIODevice* FakeAudioDevices::createDevice (const juce::String& outputDeviceName,
                                                      const juce::String& inputDeviceName)
{
    const auto name = outputDeviceName.isNotEmpty() ? outputDeviceName : inputDeviceName;
    const auto found = devices.find (name);
    return found != devices.end() ? new FakeDevice (name, found->second) : nullptr;
}

void useFakeDevices (juce::AudioDeviceManager& manager, std::unique_ptr<FakeAudioDevices> devices,
                     const juce::String& name)
{
    // The manager makes no other device types once it has one.
    manager.addAudioDeviceType (std::move (devices));
    manager.setCurrentAudioDeviceType (FakeAudioDevices::typeName, true);
    if (name.isNotEmpty())
        openFakeDevice (manager, name);
    else
        manager.closeAudioDevice();
}

void openFakeDevice (juce::AudioDeviceManager& manager, const juce::String& name)
{
    auto setup = manager.getAudioDeviceSetup();
    setup.inputDeviceName = setup.outputDeviceName = name;
    setup.useDefaultInputChannels = setup.useDefaultOutputChannels = true;
    manager.setAudioDeviceSetup (setup, true);
}

juce::StringArray numberedChannels (const juce::String& prefix, int count)
{
    juce::StringArray names;
    for (int i = 1; i <= count; ++i)
        names.add (prefix + juce::String (i));
    return names;
}
}

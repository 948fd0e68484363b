#include "app/harness/FakeAudioDeviceType.h"

#include "app/harness/FakeAudioDevice.h"

namespace zund::test
{
void FakeAudioDeviceType::deviceDeleted (FakeAudioDevice& device) noexcept
{
    if (lastDevice == &device)
        lastDevice = nullptr;
}

int FakeAudioDeviceType::getIndexOfDevice (juce::AudioIODevice* device, bool asInput) const
{
    if (auto* fake = dynamic_cast<FakeAudioDevice*> (device))
        return names.indexOf (asInput ? fake->inputName : fake->outputName);
    return -1;
}

juce::AudioIODevice* FakeAudioDeviceType::createDevice (const juce::String& outputName, const juce::String& inputName)
{
    if (! names.contains (outputName) && ! names.contains (inputName))
        return nullptr;
    lastDevice = new FakeAudioDevice (*this, outputName, inputName);
    return lastDevice;
}
}

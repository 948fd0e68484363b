#include "app/device/AudioDeviceTypes.h"

#include <algorithm>

namespace zund
{
void addAudioDeviceTypes (juce::AudioDeviceManager& deviceManager)
{
    // Made here, before anything asks for them, so that each kind of device
    // is looked for once: left to the device manager, the first question
    // makes them and looks, and the next one looks again (a JACK round trip).
    juce::OwnedArray<juce::AudioIODeviceType> types;
    deviceManager.createAudioDeviceTypes (types);
    std::stable_partition (types.begin(), types.end(),
                           [] (juce::AudioIODeviceType* type) { return type->getTypeName() == "JACK"; });
    for (auto* type : types)
        deviceManager.addAudioDeviceType (std::unique_ptr<juce::AudioIODeviceType> (type));
    types.clear (false);
}
}

#include "app/main/DeviceChannelMap.h"

#include <algorithm>

namespace zund
{
void DeviceChannelMap::takeChannelsOf (juce::AudioIODevice& device)
{
    setChannels (device.getActiveInputChannels(), device.getInputChannelNames().size(),
                 device.getActiveOutputChannels(), device.getOutputChannelNames().size());
}

void DeviceChannelMap::setChannels (const juce::BigInteger& activeInputs, int numDeviceInputs,
                                    const juce::BigInteger& activeOutputs, int numDeviceOutputs)
{
    inputSide.set (activeInputs, numDeviceInputs);
    outputSide.set (activeOutputs, numDeviceOutputs);
}

template <typename Sample>
void DeviceChannelMap::Side<Sample>::set (const juce::BigInteger& active, int numDeviceChannels)
{
    numDevice = std::clamp (std::max (numDeviceChannels, active.getHighestBit() + 1), 0, maxChannels);
    numActive = 0;
    for (int channel = active.findNextSetBit (0); channel >= 0; channel = active.findNextSetBit (channel + 1))
    {
        if (numActive < maxChannels)
            deviceChannelOf[(size_t) numActive] = channel < maxChannels ? channel : -1;
        ++numActive;
    }
    taken = true;
}

template <typename Sample>
void DeviceChannelMap::Side<Sample>::spread (Sample* const*& channels, int& count) noexcept
{
    if (! taken || count != numActive || (channels == nullptr && count > 0))
        return;

    std::fill (spreadChannels.begin(), spreadChannels.begin() + numDevice, nullptr);
    for (int packed = 0; packed < std::min (count, maxChannels); ++packed)
        if (const int channel = deviceChannelOf[(size_t) packed]; channel >= 0 && channel < numDevice)
            spreadChannels[(size_t) channel] = channels[packed];

    channels = spreadChannels.data();
    count = numDevice;
}

template struct DeviceChannelMap::Side<const float>;
template struct DeviceChannelMap::Side<float>;
}

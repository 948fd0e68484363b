#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <array>

namespace zund
{
/** Puts the channels an audio device hands to its callback back onto the
    device's own channel numbers. The framework hands over the active
    channels only, packed in ascending order; its JACK device counts only the
    connected ports and packs them again after every connection change. A
    deck, an output pair or the recording pair named by device channel would
    then move whenever a patchbay connects or disconnects a port. Spread out,
    an inactive channel is null: the engine reads silence from it and writes
    nothing to it.

    Taken as the device starts, on the message thread: the framework starts
    the callback again after each change of the active channels, and calls
    nothing else meanwhile. Spread on the audio thread, into fixed arrays. */
class DeviceChannelMap
{
public:
    /** Device channels from here on are not routed. */
    static constexpr int maxChannels = 256;

    /** The device's active channels and its full channel counts. */
    void takeChannelsOf (juce::AudioIODevice& device);
    void setChannels (const juce::BigInteger& activeInputs, int numDeviceInputs, const juce::BigInteger& activeOutputs,
                      int numDeviceOutputs);

    /** Turns the callback's packed arrays and counts into device-numbered
        ones (arrays of this map, valid until the next call). Arrays whose
        count is not that of the active channels taken (none taken yet) pass
        as they are. */
    void spread (const float* const*& inputs, int& numInputs, float* const*& outputs, int& numOutputs) noexcept
    {
        inputSide.spread (inputs, numInputs);
        outputSide.spread (outputs, numOutputs);
    }

private:
    template <typename Sample>
    struct Side
    {
        void set (const juce::BigInteger& active, int numDeviceChannels);
        void spread (Sample* const*& channels, int& count) noexcept;

        bool taken = false;
        int numActive = 0; // also those beyond maxChannels: the callback counts them
        int numDevice = 0;
        std::array<int, maxChannels> deviceChannelOf {}; // by place in the packed array
        std::array<Sample*, maxChannels> spreadChannels {};
    };

    Side<const float> inputSide;
    Side<float> outputSide;
};
}

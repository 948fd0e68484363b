#include "app/main/DeviceChannelMap.h"
#include "support/ChannelPattern.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zund;

namespace
{
// A distinct buffer per device channel; the callback gets the active ones packed.
struct PackedChannels
{
    std::vector<float> buffers;
    std::vector<float*> packed;

    PackedChannels (const juce::BigInteger& active, int numChannels) : buffers ((size_t) numChannels)
    {
        for (int c = 0; c < numChannels; ++c)
            if (active[c])
                packed.push_back (&buffers[(size_t) c]);
    }
    const float* bufferOf (int channel) const { return &buffers[(size_t) channel]; }
};
}

TEST (DeviceChannelMap, PackedChannelsLandOnTheirDeviceChannelsAndTheOthersAreNull)
{
    struct Case
    {
        std::string active;
        int numNames, expectedCount;
    };
    const Case cases[] = {
        { "1111", 4, 4 },         // all connected: as handed over
        { "00111111", 8, 8 },     // the first pair disconnected
        { "110011", 6, 6 },       // a pair in the middle
        { "1011", 4, 4 },         // one side of a pair
        { "0000", 4, 4 },         // nothing connected
        { "0001", 2, 4 },         // an active channel beyond the names still counts
        // From the limit on, channels are not routed.
        { "11" + std::string (DeviceChannelMap::maxChannels + 41, '0') + "1", 300, DeviceChannelMap::maxChannels },
    };
    for (const auto& c : cases)
    {
        const auto active = test::channelPattern (c.active);
        const int numChannels = (int) c.active.size();
        PackedChannels in (active, numChannels), out (active, numChannels);

        DeviceChannelMap map;
        map.setChannels (active, c.numNames, active, c.numNames);
        const float* const* inputs = in.packed.data();
        float* const* outputs = out.packed.data();
        int numInputs = (int) in.packed.size(), numOutputs = (int) out.packed.size();
        map.spread (inputs, numInputs, outputs, numOutputs);

        ASSERT_EQ (numInputs, c.expectedCount) << c.active;
        ASSERT_EQ (numOutputs, c.expectedCount) << c.active;
        for (int ch = 0; ch < c.expectedCount; ++ch)
        {
            EXPECT_EQ (inputs[ch], active[ch] ? in.bufferOf (ch) : nullptr) << c.active << " input " << ch;
            EXPECT_EQ (outputs[ch], active[ch] ? out.bufferOf (ch) : nullptr) << c.active << " output " << ch;
        }
    }
}

TEST (DeviceChannelMap, ArraysThatDoNotMatchTheActiveChannelsPassAsTheyAre)
{
    float buffers[3] {};
    const float* packedIn[] = { &buffers[0], &buffers[1], &buffers[2] };
    float* packedOut[] = { &buffers[0], &buffers[1], &buffers[2] };

    // Before any device started, and with other counts than the device's.
    DeviceChannelMap fresh, other;
    other.setChannels (test::channelPattern ("0011"), 4, test::channelPattern ("0011"), 4);
    for (auto* map : { &fresh, &other })
    {
        const float* const* inputs = packedIn;
        float* const* outputs = packedOut;
        int numInputs = 3, numOutputs = 3;
        map->spread (inputs, numInputs, outputs, numOutputs);
        EXPECT_EQ (inputs, packedIn);
        EXPECT_EQ (outputs, packedOut);
        EXPECT_EQ (numInputs, 3);
        EXPECT_EQ (numOutputs, 3);
    }
}

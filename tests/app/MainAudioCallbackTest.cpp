#include "app/MainAudioCallback.h"
#include "engine/Engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace zund;

namespace
{
// Device buffers around one callback: inputs carry a 1 kHz tone, outputs start
// with garbage (the callback must clear them).
struct Device
{
    int numInputs, numOutputs, numSamples;
    std::vector<std::vector<float>> in, out;
    std::vector<const float*> inPointers;
    std::vector<float*> outPointers;

    Device (int inputs, int outputs, int samples) : numInputs (inputs), numOutputs (outputs), numSamples (samples)
    {
        in.assign ((size_t) inputs, std::vector<float> ((size_t) samples));
        out.assign ((size_t) outputs, std::vector<float> ((size_t) samples, 0.9f));
        for (auto& channel : in)
            inPointers.push_back (channel.data());
        for (auto& channel : out)
            outPointers.push_back (channel.data());
    }

    void run (MainAudioCallback& callback, int blocks)
    {
        for (int b = 0; b < blocks; ++b)
        {
            for (auto& channel : in)
                for (int i = 0; i < numSamples; ++i)
                    channel[(size_t) i] = 0.5f * (float) std::sin (2.0 * M_PI * 1000.0 * (sampleCount + i) / 48000.0);
            for (auto& channel : out)
                std::fill (channel.begin(), channel.end(), 0.9f);
            callback.audioDeviceIOCallbackWithContext (inPointers.data(), numInputs, outPointers.data(), numOutputs,
                                                       numSamples, {});
            sampleCount += numSamples;
        }
    }

    float peak (int channel) const
    {
        float p = 0;
        for (float s : out[(size_t) channel])
            p = std::max (p, std::abs (s));
        return p;
    }

    juce::int64 sampleCount = 0;
};

struct Rig
{
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    MainAudioCallback callback { *engine };

    Rig()
    {
        engine->setSampleRate (48000);
        // Channel 1 plays deck 1's input (device inputs 0 and 1) straight to the main pair.
        engine->setDeckInput (0, 0);
        engine->setThru (0, true);
        engine->setMainOutput (0);
    }
};
}

TEST (MainAudioCallback, EngineOutputReachesTheDevice)
{
    Rig rig;
    Device device (2, 4, 256);
    device.run (rig.callback, 40);
    EXPECT_GT (device.peak (0), 0.1f);
    EXPECT_EQ (device.peak (2), 0.0f); // an unused output is cleared
}

TEST (MainAudioCallback, TestToneOnEveryOutputAt440Hz)
{
    for (bool quitting : { false, true })
    {
        Rig rig;
        rig.callback.setTestToneOn (true);
        if (quitting)
            rig.callback.setQuitting();

        Device device (2, 5, 480);
        std::vector<float> first;
        for (int block = 0; block < 100; ++block) // one second at 48 kHz
        {
            device.run (rig.callback, 1);
            first.insert (first.end(), device.out[0].begin(), device.out[0].end());
            for (int ch = 1; ch < 5; ++ch)
                ASSERT_EQ (device.out[(size_t) ch], device.out[0]) << "output " << ch;
        }

        int rising = 0;
        float peak = 0;
        for (size_t i = 1; i < first.size(); ++i)
        {
            rising += first[i - 1] < 0.0f && first[i] >= 0.0f;
            peak = std::max (peak, std::abs (first[i]));
        }
        EXPECT_NEAR (rising, 440, 1);
        EXPECT_NEAR (peak, 0.25f, 0.001f);
    }
}

TEST (MainAudioCallback, SilentWhileQuitting)
{
    Rig rig;
    rig.callback.setQuitting();
    Device device (2, 2, 256);
    device.run (rig.callback, 40);
    EXPECT_EQ (device.peak (0), 0.0f);
    EXPECT_EQ (device.peak (1), 0.0f);
}

TEST (MainAudioCallback, NullOutputsAndAnUnpairedRecordingChannelAreSkipped)
{
    Rig rig;
    rig.callback.setRecordingInputPair (1); // input 1 has no partner among two inputs
    Device device (2, 3, 256);
    device.outPointers[2] = nullptr; // a null output must not be cleared or written
    device.run (rig.callback, 10);
    EXPECT_GT (device.peak (0), 0.1f);
}

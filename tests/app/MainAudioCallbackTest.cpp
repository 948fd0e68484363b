#include "app/main/MainAudioCallback.h"
#include "engine/Engine.h"
#include "support/SignalMeasures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace zund;

namespace
{
constexpr double deviceRate = 48000.0;

// A device that only reports its rate.
struct FakeDevice : juce::AudioIODevice
{
    FakeDevice() : juce::AudioIODevice ("fake", "fake") {}
    juce::StringArray getOutputChannelNames() override { return {}; }
    juce::StringArray getInputChannelNames() override { return {}; }
    juce::Array<double> getAvailableSampleRates() override { return { deviceRate }; }
    juce::Array<int> getAvailableBufferSizes() override { return { 256 }; }
    int getDefaultBufferSize() override { return 256; }
    juce::String open (const juce::BigInteger&, const juce::BigInteger&, double, int) override { return {}; }
    void close() override {}
    bool isOpen() override { return true; }
    void start (juce::AudioIODeviceCallback*) override {}
    void stop() override {}
    bool isPlaying() override { return true; }
    juce::String getLastError() override { return {}; }
    int getCurrentBufferSizeSamples() override { return 256; }
    double getCurrentSampleRate() override { return deviceRate; }
    int getCurrentBitDepth() override { return 32; }
    juce::BigInteger getActiveOutputChannels() const override { return {}; }
    juce::BigInteger getActiveInputChannels() const override { return {}; }
    int getOutputLatencyInSamples() override { return 0; }
    int getInputLatencyInSamples() override { return 0; }
};

// Device buffers around the callback: inputs carry a 1 kHz tone, outputs start
// with garbage (the callback must clear them).
struct Device
{
    int numInputs, numOutputs, numSamples;
    std::vector<std::vector<float>> in, out;
    std::vector<const float*> inPointers;
    std::vector<float*> outPointers;
    juce::int64 sampleCount = 0;

    Device (int inputs, int outputs, int samples) : numInputs (inputs), numOutputs (outputs), numSamples (samples)
    {
        in.assign ((size_t) inputs, std::vector<float> ((size_t) samples));
        out.assign ((size_t) outputs, std::vector<float> ((size_t) samples, 0.9f));
        for (auto& channel : in)
            inPointers.push_back (channel.data());
        for (auto& channel : out)
            outPointers.push_back (channel.data());
    }

    // Runs the blocks and returns what output 0 carried.
    std::vector<float> run (MainAudioCallback& callback, int blocks)
    {
        std::vector<float> first;
        for (int b = 0; b < blocks; ++b)
        {
            for (auto& channel : in)
                for (int i = 0; i < numSamples; ++i)
                    channel[(size_t) i] = 0.5f * (float) std::sin (2.0 * M_PI * 1000.0 * (double) (sampleCount + i) / deviceRate);
            for (auto& channel : out)
                std::fill (channel.begin(), channel.end(), 0.9f);
            callback.audioDeviceIOCallbackWithContext (inPointers.data(), numInputs, outPointers.data(), numOutputs,
                                                       numSamples, {});
            first.insert (first.end(), out[0].begin(), out[0].end());
            sampleCount += numSamples;
        }
        return first;
    }

    float peak (int channel) const { return test::peakOf (out[(size_t) channel].data(), numSamples); }
};

// An engine told the device's rate as the device starts. Channel 0 plays deck 0's
// input (device inputs 0 and 1) straight to the main pair.
struct Rig
{
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    MainAudioCallback callback { *engine };
    FakeDevice device;

    Rig()
    {
        callback.audioDeviceAboutToStart (&device);
        engine->setDeckInput (0, 0);
        engine->setThru (0, true);
        engine->setMainOutput (0);
    }
};

int countRisingZeroCrossings (const std::vector<float>& samples)
{
    int rising = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        rising += samples[i - 1] < 0.0f && samples[i] >= 0.0f;
    return rising;
}
}

TEST (MainAudioCallback, EngineOutputReachesTheDeviceAndNullOutputsAreSkipped)
{
    Rig rig;
    EXPECT_EQ (rig.engine->getSampleRate(), 48000);
    Device device (2, 4, 256);
    device.outPointers[3] = nullptr; // a null output must not be cleared or written
    const auto out = device.run (rig.callback, 40);
    EXPECT_NEAR (test::toneAmplitude (out.data() + 4096, 4096, 1000.0, deviceRate), 0.5, 0.01);
    EXPECT_EQ (device.peak (2), 0.0f); // an unused output is cleared
    EXPECT_EQ (device.peak (3), 0.9f);
}

TEST (MainAudioCallback, TestToneOnEveryOutputAt440Hz)
{
    for (bool quitting : { false, true })
    {
        Rig rig;
        rig.callback.setTestToneOn (true);
        if (quitting)
            rig.callback.setQuitting();

        // One second at the device's rate, the same on every output.
        Device device (2, 5, 480);
        std::vector<float> first;
        for (int block = 0; block < 100; ++block)
        {
            const auto out = device.run (rig.callback, 1);
            first.insert (first.end(), out.begin(), out.end());
            for (int ch = 1; ch < 5; ++ch)
                ASSERT_EQ (device.out[(size_t) ch], device.out[0]) << "output " << ch;
        }
        EXPECT_NEAR (countRisingZeroCrossings (first), 440, 1);
        EXPECT_NEAR (test::peakOf (first.data(), (int) first.size()), 0.25f, 0.001f);
    }
}

TEST (MainAudioCallback, TheRecordingInputPairIsRecordedEvenWhileQuitting)
{
    // While quitting the outputs are silent, but the chosen input pair still
    // reaches the recorder; a pair without a partner channel records nothing.
    test::TempFolder temp;
    for (int pair : { 0, 1 })
    {
        Rig rig;
        const auto file = temp.file ("input" + juce::String (pair) + ".wav");
        ASSERT_TRUE (rig.engine->startRecording (file.getFullPathName(), 16, false));
        rig.callback.setRecordingInputPair (pair);
        rig.callback.setQuitting();
        Device device (2, 2, 256);
        const auto out = device.run (rig.callback, 40);
        EXPECT_TRUE (rig.engine->stopRecording());
        EXPECT_EQ (test::peakOf (out.data(), (int) out.size()), 0.0f);

        std::unique_ptr<juce::AudioFormatReader> reader (
            juce::WavAudioFormat().createReaderFor (file.createInputStream().release(), true));
        ASSERT_NE (reader, nullptr);
        if (pair == 1)
        {
            EXPECT_EQ (reader->lengthInSamples, 0) << pair;
            continue;
        }
        // The first sample (0) and the one that opens the gate are not kept.
        ASSERT_EQ (reader->lengthInSamples, 40 * 256 - 2);
        juce::AudioBuffer<float> recorded (2, (int) reader->lengthInSamples);
        reader->read (&recorded, 0, recorded.getNumSamples(), 0, true, true);
        for (int ch = 0; ch < 2; ++ch)
            EXPECT_NEAR (test::toneAmplitude (recorded.getReadPointer (ch) + 2048, 8192, 1000.0, deviceRate), 0.5, 0.005);
    }
}

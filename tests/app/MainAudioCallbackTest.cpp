#include "app/main/MainAudioCallback.h"
#include "engine/Engine.h"
#include "support/ChannelPattern.h"
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

// A device that reports its rate and, once given, its channels and the
// active ones among them (the ports a patchbay has connected).
struct FakeDevice : juce::AudioIODevice
{
    FakeDevice() : juce::AudioIODevice ("fake", "fake") {}
    juce::StringArray getOutputChannelNames() override { return namesOf (numOutputs, "out "); }
    juce::StringArray getInputChannelNames() override { return namesOf (numInputs, "in "); }
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
    juce::BigInteger getActiveOutputChannels() const override { return activeOutputs; }
    juce::BigInteger getActiveInputChannels() const override { return activeInputs; }
    int getOutputLatencyInSamples() override { return 0; }
    int getInputLatencyInSamples() override { return 0; }

    static juce::StringArray namesOf (int count, const juce::String& stem)
    {
        juce::StringArray names;
        for (int i = 1; i <= count; ++i)
            names.add (stem + juce::String (i));
        return names;
    }

    int numInputs = 0, numOutputs = 0;
    juce::BigInteger activeInputs, activeOutputs;
};

// Device buffers around the callback: inputs carry a 1 kHz tone (or a tone of
// their own), outputs start with garbage (the callback must clear them).
struct Device
{
    int numInputs, numOutputs, numSamples;
    std::vector<std::vector<float>> in, out;
    std::vector<const float*> inPointers;
    std::vector<float*> outPointers;
    std::vector<double> frequencies;
    juce::int64 sampleCount = 0;

    Device (int inputs, int outputs, int samples) : numInputs (inputs), numOutputs (outputs), numSamples (samples)
    {
        in.assign ((size_t) inputs, std::vector<float> ((size_t) samples));
        out.assign ((size_t) outputs, std::vector<float> ((size_t) samples, 0.9f));
        frequencies.assign ((size_t) inputs, 1000.0);
        for (auto& channel : in)
            inPointers.push_back (channel.data());
        for (auto& channel : out)
            outPointers.push_back (channel.data());
    }

    // Hands the callback only the active channels, packed, as the framework does.
    void packActive (const juce::BigInteger& activeInputs, const juce::BigInteger& activeOutputs)
    {
        inPointers.clear();
        outPointers.clear();
        for (size_t c = 0; c < in.size(); ++c)
            if (activeInputs[(int) c])
                inPointers.push_back (in[c].data());
        for (size_t c = 0; c < out.size(); ++c)
            if (activeOutputs[(int) c])
                outPointers.push_back (out[c].data());
        numInputs = (int) inPointers.size();
        numOutputs = (int) outPointers.size();
    }

    // Runs the blocks and returns what output 0 carried.
    std::vector<float> run (MainAudioCallback& callback, int blocks)
    {
        std::vector<float> first;
        for (int b = 0; b < blocks; ++b)
        {
            for (size_t c = 0; c < in.size(); ++c)
                for (int i = 0; i < numSamples; ++i)
                    in[c][(size_t) i] = 0.5f * (float) std::sin (2.0 * M_PI * frequencies[c] * (double) (sampleCount + i) / deviceRate);
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
    double tone (int channel, double frequency) const
    {
        return test::toneAmplitude (out[(size_t) channel].data(), numSamples, frequency, deviceRate);
    }
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

    // The device starts again with these channels active, as after a patchbay's change.
    void restart (int numInputs, const juce::BigInteger& activeInputs, int numOutputs,
                  const juce::BigInteger& activeOutputs)
    {
        device.numInputs = numInputs;
        device.numOutputs = numOutputs;
        device.activeInputs = activeInputs;
        device.activeOutputs = activeOutputs;
        callback.audioDeviceAboutToStart (&device);
    }
};

// The three input pairs of the device carry tones of their own.
constexpr double pairTones[] = { 500.0, 1000.0, 1500.0 };

// The recorded file's audio (none when it cannot be read).
void readBack (const juce::File& file, juce::AudioBuffer<float>& recorded)
{
    std::unique_ptr<juce::AudioFormatReader> reader (
        juce::WavAudioFormat().createReaderFor (file.createInputStream().release(), true));
    recorded.setSize (2, reader != nullptr ? (int) reader->lengthInSamples : 0);
    if (reader != nullptr)
        reader->read (&recorded, 0, recorded.getNumSamples(), 0, true, true);
}

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

// The framework hands the callback the active channels only, packed. Deck 1
// listens on input pair 1 and deck 2 on pair 2; channel 1 plays deck 1 (THRU)
// out of output pair 1, channel 2 plays deck 2 out of pair 3. Whatever else
// is connected, each signal stays on its own pairs: a disconnected input
// reads silence, a disconnected output is not written.
TEST (MainAudioCallback, EachPairKeepsItsRoutingWhateverElseIsConnected)
{
    struct Case
    {
        std::string inputs, outputs;
        double expected[3]; // the tone on each output pair, 0 for silence
    };
    const Case cases[] = {
        { "111111", "111111", { 500.0, 0.0, 1000.0 } },
        { "001111", "111111", { 0.0, 0.0, 1000.0 } },    // the first input pair disconnected
        { "111111", "001111", { 500.0, 0.0, 1000.0 } },  // the first output pair disconnected
        { "111100", "110011", { 500.0, 0.0, 1000.0 } },  // the last input and the middle output pair
        { "111011", "111111", { 500.0, 0.0, 0.0 } },     // one side of deck 2's pair
        { "111111", "000011", { 0.0, 0.0, 1000.0 } },    // only the last output pair connected
    };
    for (const auto& c : cases)
    {
        Rig rig;
        rig.engine->setMainOutput (-2);
        rig.engine->setChannelOutput (0, 0);
        rig.engine->setDeckInput (1, 2);
        rig.engine->setThru (1, true);
        rig.engine->setChannelOutput (1, 4);

        const auto activeIn = test::channelPattern (c.inputs), activeOut = test::channelPattern (c.outputs);
        Device device (6, 6, 1024);
        for (int ch = 0; ch < 6; ++ch)
            device.frequencies[(size_t) ch] = pairTones[ch / 2];
        device.packActive (activeIn, activeOut);
        rig.restart (6, activeIn, 6, activeOut);
        device.run (rig.callback, 12);

        for (int ch = 0; ch < 6; ++ch)
        {
            const auto where = c.inputs + " / " + c.outputs + ", output " + std::to_string (ch);
            if (! activeOut[ch])
                EXPECT_EQ (test::peakOf (device.out[(size_t) ch].data(), 1024), 0.9f) << where << " was touched";
            else if (const double tone = c.expected[ch / 2]; tone > 0.0)
                EXPECT_NEAR (device.tone (ch, tone), 0.5, 0.02) << where;
            else
                EXPECT_LT (device.peak (ch), 1.0e-4f) << where;
        }
    }
}

// The recording pair is the device's own, whatever is connected before it.
// While its ports are disconnected it records silence, so the recording
// keeps its time across a patchbay's changes.
TEST (MainAudioCallback, TheRecordingPairIsTheDevicesOwnAndRecordsSilenceWhileDisconnected)
{
    test::TempFolder temp;
    Rig rig;
    const auto file = temp.file ("pair2.wav");
    ASSERT_TRUE (rig.engine->startRecording (file.getFullPathName(), 16, false));
    rig.callback.setRecordingInputPair (2);

    constexpr int blocks = 40, blockSize = 256, stretch = blocks * blockSize;
    Device device (6, 2, blockSize);
    for (int ch = 0; ch < 6; ++ch)
        device.frequencies[(size_t) ch] = pairTones[ch / 2];
    for (const char* inputs : { "001111", "000011", "001011", "001111" })
    {
        device.packActive (test::channelPattern (inputs), test::channelPattern ("11"));
        rig.restart (6, test::channelPattern (inputs), 2, test::channelPattern ("11"));
        device.run (rig.callback, blocks);
    }
    EXPECT_TRUE (rig.engine->stopRecording());

    juce::AudioBuffer<float> recorded;
    readBack (file, recorded);
    // The first sample (0) and the one that opens the gate are not kept.
    ASSERT_EQ (recorded.getNumSamples(), 4 * stretch - 2);
    auto toneIn = [&] (int ch, int stretchIndex, double frequency) {
        const int start = stretchIndex * stretch - 2 + 1024; // clear of the changes
        return test::toneAmplitude (recorded.getReadPointer (ch) + start, stretch - 2048, frequency, deviceRate);
    };
    auto peakIn = [&] (int ch, int stretchIndex) {
        return test::peakOf (recorded.getReadPointer (ch) + stretchIndex * stretch - 2 + 1024, stretch - 2048);
    };
    for (int ch = 0; ch < 2; ++ch)
    {
        EXPECT_NEAR (toneIn (ch, 0, 1000.0), 0.5, 0.005) << ch;
        EXPECT_LT (toneIn (ch, 0, 1500.0), 0.005) << ch;
        EXPECT_EQ (peakIn (ch, 1), 0.0f) << ch << ": the disconnected pair";
        EXPECT_NEAR (toneIn (ch, 3, 1000.0), 0.5, 0.005) << ch;
    }
    // Only the right side disconnected: the left goes on, the right is silent.
    EXPECT_NEAR (toneIn (0, 2, 1000.0), 0.5, 0.005);
    EXPECT_EQ (peakIn (1, 2), 0.0f);
}

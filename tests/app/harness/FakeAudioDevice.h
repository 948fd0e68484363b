#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

namespace zund::test
{
class FakeAudioDeviceType;

/** A device of FakeAudioDeviceType: two input and two output channels on
    each named side, one rate. It delivers blocks only when told, and can go
    away the two ways real ones do: closed by the framework under the program
    (a JACK server's shutdown) or silently (an ALSA card unplugged: still open,
    but no more blocks). Like the framework's ALSA device it can also stop
    calling itself playing after an error, while it goes on delivering or
    not. Opening fails while its type does not find it, as a JACK device
    fails without its server. Message thread. */
class FakeAudioDevice : public juce::AudioIODevice
{
public:
    FakeAudioDevice (FakeAudioDeviceType& type, const juce::String& outputName, const juce::String& inputName);
    ~FakeAudioDevice() override;

    const juce::String outputName, inputName;

    /** `count` blocks of 256 frames through the started callback. */
    void deliverBlocks (int count);
    /** The server shut down: the device closes itself and the callback is
        told it stopped. */
    void shutDown() { close(); }
    /** As the framework's ALSA device after any error of its thread (a
        survived xrun too): isPlaying() is false until it opens again. */
    void meetError() { errorMet = true; }

    juce::StringArray getOutputChannelNames() override;
    juce::StringArray getInputChannelNames() override;
    juce::Array<double> getAvailableSampleRates() override { return { rate }; }
    juce::Array<int> getAvailableBufferSizes() override { return { blockSize }; }
    int getDefaultBufferSize() override { return blockSize; }
    juce::String open (const juce::BigInteger& inputs, const juce::BigInteger& outputs, double, int) override;
    void close() override;
    bool isOpen() override { return opened; }
    void start (juce::AudioIODeviceCallback* newCallback) override;
    void stop() override { start (nullptr); }
    bool isPlaying() override { return callback != nullptr && ! errorMet; }
    juce::String getLastError() override { return {}; }
    int getCurrentBufferSizeSamples() override { return blockSize; }
    double getCurrentSampleRate() override { return rate; }
    int getCurrentBitDepth() override { return 32; }
    juce::BigInteger getActiveOutputChannels() const override { return activeOutputs; }
    juce::BigInteger getActiveInputChannels() const override { return activeInputs; }
    int getOutputLatencyInSamples() override { return 0; }
    int getInputLatencyInSamples() override { return 0; }

    static constexpr int blockSize = 256;

private:
    FakeAudioDeviceType& type;
    const double rate;
    bool opened = false, errorMet = false;
    juce::AudioIODeviceCallback* callback = nullptr;
    juce::BigInteger activeInputs, activeOutputs;
};
}

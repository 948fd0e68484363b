#pragma once

#include "app/main/DeviceChannelMap.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>
#include <cstdint>

namespace zund
{
class Engine;

/** The audio device's callback: clears every output, then plays the 440 Hz
    test tone or lets the engine process the block (unless the program is
    quitting), and afterwards hands the chosen input pair to the recorder.
    The flags are set from the message thread and read here without a lock. */
class MainAudioCallback : public juce::AudioIODeviceCallback
{
public:
    explicit MainAudioCallback (Engine& engineToUse) : engine (engineToUse) {}

    void audioDeviceIOCallbackWithContext (const float* const* inputs, int numInputs, float* const* outputs,
                                           int numOutputs, int numSamples,
                                           const juce::AudioIODeviceCallbackContext& context) override;
    void audioDeviceAboutToStart (juce::AudioIODevice* device) override;
    /** Also called for ordinary stops (a new set-up, a port connection
        change); the message thread judges what it means. Any thread. */
    void audioDeviceStopped() override
    {
        started.store (false);
        stops.fetch_add (1, std::memory_order_relaxed);
    }

    void setTestToneOn (bool on) noexcept { testTone.store (on); }
    bool isTestToneOn() const noexcept { return testTone.load(); }
    void setQuitting() noexcept { quitting.store (true); }
    bool isQuitting() const noexcept { return quitting.load(); }
    /** First device input channel of the pair to record; -1 for none. */
    void setRecordingInputPair (int firstChannel) noexcept { recordingInputPair.store (firstChannel); }
    int getRecordingInputPair() const noexcept { return recordingInputPair.load(); }
    /** Whether the XY views are on screen (the engine feeds them only then). */
    void setXYViewsVisible (bool visible) noexcept { xyViewsVisible.store (visible); }

    /** Bumped as each block begins and again as it ends (odd while one is
        processed), and the stops reported: the message thread tells from
        them whether the device still runs. */
    std::uint64_t getBlockProgress() const noexcept { return blockProgress.load (std::memory_order_relaxed); }
    std::uint64_t getStopCount() const noexcept { return stops.load (std::memory_order_relaxed); }
    /** Whether a device started this callback and has not stopped it since:
        what the program itself knows, whatever the device's own state says
        (the framework's ALSA device stops calling "playing" at its first
        error, an xrun it survives included). */
    bool isStarted() const noexcept { return started.load(); }

private:
    void writeTestTone (float* const* outputs, int numOutputs, int numSamples) noexcept;
    void feedRecordingPair (const float* left, const float* right, int numSamples) noexcept;

    Engine& engine;
    std::atomic<bool> testTone { false };
    std::atomic<bool> quitting { false };
    std::atomic<bool> xyViewsVisible { false };
    std::atomic<int> recordingInputPair { -1 };
    std::atomic<bool> started { false };
    std::atomic<std::uint64_t> blockProgress { 0 }, stops { 0 };
    float testTonePhase = 0.0f; // audio thread only
    DeviceChannelMap channelMap; // taken as the device starts
};
}

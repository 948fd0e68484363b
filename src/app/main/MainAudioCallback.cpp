#include "app/main/MainAudioCallback.h"

#include "engine/Engine.h"

#include <algorithm>
#include <cmath>

namespace zund
{
namespace
{
// Counts a block as it begins and as it ends.
struct BlockProgressMark
{
    explicit BlockProgressMark (std::atomic<std::uint64_t>& counterToBump) noexcept : counter (counterToBump)
    {
        counter.fetch_add (1, std::memory_order_relaxed);
    }
    ~BlockProgressMark() { counter.fetch_add (1, std::memory_order_relaxed); }

    std::atomic<std::uint64_t>& counter;
};
}

void MainAudioCallback::audioDeviceAboutToStart (juce::AudioIODevice* device)
{
    if (device == nullptr)
        return;
    engine.setSampleRate ((int) device->getCurrentSampleRate());
    channelMap.takeChannelsOf (*device);
    started.store (true);
}

void MainAudioCallback::writeTestTone (float* const* outputs, int numOutputs, int numSamples) noexcept
{
    int rate = (int) engine.getSampleRate();
    if (rate <= 0)
        rate = 44100;
    const float increment = 440.0f / (float) rate;

    for (int i = 0; i < numSamples; ++i)
    {
        const float s = std::sin (testTonePhase * 6.283f) * 0.25f;
        for (int ch = 0; ch < numOutputs; ++ch)
            if (outputs[ch] != nullptr)
                outputs[ch][i] = s;
        testTonePhase += increment;
        testTonePhase -= std::floor (testTonePhase);
    }
}

void MainAudioCallback::audioDeviceIOCallbackWithContext (const float* const* inputs, int numInputs,
                                                          float* const* outputs, int numOutputs, int numSamples,
                                                          const juce::AudioIODeviceCallbackContext&)
{
    const BlockProgressMark mark (blockProgress);
    for (int ch = 0; ch < numOutputs; ++ch)
        if (outputs[ch] != nullptr)
            juce::FloatVectorOperations::clear (outputs[ch], numSamples);

    // The device hands over its active channels only, packed together; the
    // routing names the device's own channels.
    channelMap.spread (inputs, numInputs, outputs, numOutputs);

    if (testTone.load())
        writeTestTone (outputs, numOutputs, numSamples);
    else if (! quitting.load())
        engine.processBlock (inputs, numInputs, outputs, numOutputs, numSamples, xyViewsVisible.load());

    // The recorder takes its input pair even while quitting.
    const int pair = recordingInputPair.load();
    if (pair >= 0 && pair < numInputs - 1)
        feedRecordingPair (inputs[pair], inputs[pair + 1], numSamples);
}

void MainAudioCallback::feedRecordingPair (const float* left, const float* right, int numSamples) noexcept
{
    if (left != nullptr && right != nullptr)
    {
        engine.feedRecorder (left, right, numSamples);
        return;
    }
    // An unconnected port records silence, as a sound card's idle input
    // would: the recording keeps its time while a patchbay changes things.
    static constexpr int silenceLength = 256;
    static constexpr float silence[silenceLength] {};
    for (int done = 0; done < numSamples; done += silenceLength)
        engine.feedRecorder (left != nullptr ? left + done : silence, right != nullptr ? right + done : silence,
                             std::min (silenceLength, numSamples - done));
}
}

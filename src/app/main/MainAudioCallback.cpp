#include "app/main/MainAudioCallback.h"

#include "engine/Engine.h"

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
    if (device != nullptr)
        engine.setSampleRate ((int) device->getCurrentSampleRate());
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

    if (testTone.load())
        writeTestTone (outputs, numOutputs, numSamples);
    else if (! quitting.load())
        engine.processBlock (inputs, numInputs, outputs, numOutputs, numSamples, xyViewsVisible.load());

    // The recorder takes its input pair even while quitting.
    const int pair = recordingInputPair.load();
    if (pair >= 0 && pair < numInputs - 1 && inputs[pair] != nullptr && inputs[pair + 1] != nullptr)
        engine.feedRecorder (inputs[pair], inputs[pair + 1], numSamples);
}
}

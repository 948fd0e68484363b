#include "engine/plugins/PluginBuffer.h"

#include "common/audio/SampleConversion.h"

#include <algorithm>

namespace zund
{
namespace
{
constexpr int midiBytesAhead = 4096; // room for whatever events a plug-in leaves behind
}

PluginBuffer::PluginBuffer()
    : storage (2, maxChunk)
{
    storage.clear();
    midi.ensureSize (midiBytesAhead);
}

bool PluginBuffer::reserve (int numChannels)
{
    if (numChannels > maxChannels)
        return false;
    if (numChannels > storage.getNumChannels())
    {
        storage.setSize (numChannels, maxChunk);
        storage.clear();
    }
    return true;
}

juce::AudioBuffer<float>& PluginBuffer::fill (const float* left, const float* right, int numChannels,
                                              int numFrames) noexcept
{
    numChannels = std::clamp (numChannels, 2, storage.getNumChannels());
    numFrames = std::clamp (numFrames, 0, maxChunk);

    // Refers to the storage: below 32 channels JUCE keeps the pointers in place.
    view.setDataToReferTo (storage.getArrayOfWritePointers(), numChannels, numFrames);
    std::copy (left, left + numFrames, view.getWritePointer (0));
    std::copy (right, right + numFrames, view.getWritePointer (1));
    for (int ch = 2; ch < numChannels; ++ch)
        view.clear (ch, 0, numFrames);
    return view;
}

void PluginBuffer::copyOut (float* left, float* right, int numFrames, bool monoOutput) const noexcept
{
    numFrames = std::clamp (numFrames, 0, view.getNumSamples());
    const float* processedLeft = view.getReadPointer (0);
    const float* processedRight = view.getReadPointer (monoOutput ? 0 : 1);
    std::transform (processedLeft, processedLeft + numFrames, left, tamedSample);
    std::transform (processedRight, processedRight + numFrames, right, tamedSample);
}

juce::MidiBuffer& PluginBuffer::clearedMidi() noexcept
{
    midi.clear();
    return midi;
}
}

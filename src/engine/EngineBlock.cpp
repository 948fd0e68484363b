#include "engine/Engine.h"

#include "engine/DevicePair.h"

#include <algorithm>

namespace zund
{
void Engine::processBlock (const float* const* inputs, int numInputs, float* const* outputs, int numOutputs,
                           int numSamples, bool xyViewsVisible)
{
    const juce::ScopedNoDenormals noDenormals;
    const double rate = std::max (sampleRate.load(), minimumProcessingRate);

    const juce::ScopedLock sl (lock);

    if (inputs == nullptr)
        numInputs = 0;
    if (outputs == nullptr)
        numOutputs = 0;
    numSamples = std::max (numSamples, 0);

    advancePlayHead (numSamples, rate);
    for (int c = 0; c < numMixerChannels; ++c)
        channels[c].fileRateRatio = readers[c].getSampleRate() / rate;

    for (int offset = 0; offset < numSamples; offset += maxChunk)
        processChunk (inputs, numInputs, outputs, numOutputs, offset, std::min (maxChunk, numSamples - offset),
                      xyViewsVisible);

    limitOutputs (outputs, numOutputs, numSamples);
}

void Engine::advancePlayHead (int numSamples, double rate) noexcept
{
    playHead.bpm = std::clamp (fxTempo.load(), 60.0, 240.0);
    const double seconds = numSamples / rate;
    playHead.timeInSeconds += seconds;
    playHead.ppqPosition += playHead.bpm / 60.0 * seconds;
}

void Engine::processChunk (const float* const* inputs, int numInputs, float* const* outputs, int numOutputs,
                           int offset, int numSamples, bool xyViewsVisible) noexcept
{
    for (int side = 0; side < 2; ++side)
    {
        std::fill (mainBus[side], mainBus[side] + numSamples, 0.0f);
        std::fill (phonesBus[side], phonesBus[side] + numSamples, 0.0f);
    }

    applyPendingRequests();
    updateCrossfaderGains();
    readDeckInputs (inputs, numInputs, offset, numSamples);
    conditionDeckInputs (numSamples);
    if (xyViewsVisible)
        feedXYViews (numSamples);
    decodeTimecode (numSamples);
    mixChannels (numSamples, outputs, numOutputs, offset);
    processMasterBus (numSamples);
    writeMainAndPhones (outputs, numOutputs, offset, numSamples);

    for (auto& loop : loops)
        loop.publish();
}

void Engine::writeMainAndPhones (float* const* outputs, int numOutputs, int offset, int numSamples) noexcept
{
    // Added, not copied: buses routed to the same pair are summed.
    addIntoPair (outputs, numOutputs, outputPair[phonesOutputEntry].load(), offset, phonesBus[0], phonesBus[1],
                 numSamples);
    addIntoPair (outputs, numOutputs, outputPair[mainOutputEntry].load(), offset, mainBus[0], mainBus[1], numSamples);
}

void Engine::limitOutputs (float* const* outputs, int numOutputs, int numSamples) noexcept
{
    // A pair shared by several entries is limited once, by the first of them.
    int limitedPairs[numOutputEntries];
    int numLimited = 0;

    for (int entry = 0; entry < numOutputEntries; ++entry)
    {
        const int first = outputPair[entry].load();
        if (! isUsablePair (first, outputs, numOutputs))
            continue;
        if (std::find (limitedPairs, limitedPairs + numLimited, first) != limitedPairs + numLimited)
            continue;

        limitOutputPair (entry, outputs[first], outputs[first + 1], numSamples);
        limitedPairs[numLimited++] = first;
    }
}
}

#include "DeckSignal.h"

#include "support/SignalMeasures.h"

#include <cmath>

namespace zund::test
{
DeckSignal::Probe::Probe()
{
    left.reserve (numSamples);
    right.reserve (numSamples);
}

void DeckSignal::Probe::addSamples (const float* l, const float* r, int n)
{
    left.insert (left.end(), l, l + n);
    right.insert (right.end(), r, r + n);
}

float DeckSignal::input (int channel, int sample)
{
    return 0.01f * (float) (channel + 1)
         * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 1000.0 * sample / 44100.0);
}

std::vector<std::vector<float>> DeckSignal::run (Engine& engine)
{
    std::vector<std::vector<float>> in (numDeviceChannels, std::vector<float> (blockSize));
    std::vector<std::vector<float>> out (numDeviceChannels);
    std::vector<std::vector<float>> block (numDeviceChannels, std::vector<float> (blockSize));
    std::vector<const float*> inputs;
    std::vector<float*> outputs;
    for (int ch = 0; ch < numDeviceChannels; ++ch)
    {
        inputs.push_back (in[(size_t) ch].data());
        outputs.push_back (block[(size_t) ch].data());
    }

    for (int b = 0; b < numBlocks; ++b)
    {
        for (int ch = 0; ch < numDeviceChannels; ++ch)
        {
            for (int i = 0; i < blockSize; ++i)
                in[(size_t) ch][(size_t) i] = input (ch, b * blockSize + i);
            std::fill (block[(size_t) ch].begin(), block[(size_t) ch].end(), 0.0f);
        }
        engine.processBlock (inputs.data(), numDeviceChannels, outputs.data(), numDeviceChannels, blockSize, true);
        for (int ch = 0; ch < numDeviceChannels; ++ch)
            out[(size_t) ch].insert (out[(size_t) ch].end(), block[(size_t) ch].begin(), block[(size_t) ch].end());
    }
    return out;
}

int DeckSignal::heardPair (const Probe& probe)
{
    const float level = peakOf (probe.right);
    if (level < 0.005f)
        return -1;
    return (int) std::lround (level / 0.01f) - 2;
}

float peakOf (const std::vector<float>& samples)
{
    return test::peakOf (samples.data(), (int) samples.size());
}
}

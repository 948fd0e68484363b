#pragma once

#include "engine/Engine.h"
#include "engine/XYInputListener.h"

#include <vector>

namespace zund::test
{
/** An eight-channel device run through the engine: device input channel i
    carries a 1 kHz sine of amplitude 0.01 x (i + 1), so a level names its
    channel. */
struct DeckSignal
{
    static constexpr int numDeviceChannels = 8;
    static constexpr int blockSize = 256;
    static constexpr int numBlocks = 24;
    static constexpr int numSamples = blockSize * numBlocks;

    /** Records what the engine hands a deck's XY view: the deck's conditioned input. */
    struct Probe : public XYInputListener
    {
        Probe();
        void addSamples (const float* l, const float* r, int n) override;
        std::vector<float> left, right;
    };

    static float input (int channel, int sample);

    /** Runs the engine over the device with the XY views fed; returns the
        device's outputs. */
    static std::vector<std::vector<float>> run (Engine& engine);

    /** The first device channel of the pair the probe heard, from the level
        of its right side; -1 when it heard nothing. */
    static int heardPair (const Probe& probe);
};

float peakOf (const std::vector<float>& samples);
}

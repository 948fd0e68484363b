#include "engine/effects/ReverbModel.h"

#include "engine/dsp/DspHelpers.h"

namespace zund
{
const int ReverbModel::combLengths[2][numCombs] = {
    { 1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617 },
    { 1139, 1211, 1300, 1379, 1445, 1514, 1580, 1640 }
};

const int ReverbModel::allPassLengths[2][numAllPasses] = {
    { 556, 441, 341, 225 },
    { 579, 464, 364, 248 }
};

float ReverbModel::Comb::process (float input, float feedback) noexcept
{
    const float out = dsp::killDenormal (buffer[(size_t) index]);
    memory = dsp::killDenormal (out * (1.0f - damping) + memory * damping);
    buffer[(size_t) index] = input + memory * feedback;
    if (++index >= (int) buffer.size())
        index = 0;
    return out;
}

float ReverbModel::AllPass::process (float input) noexcept
{
    const float b = dsp::killDenormal (buffer[(size_t) index]);
    buffer[(size_t) index] = input + b * feedback;
    if (++index >= (int) buffer.size())
        index = 0;
    return b - input;
}

ReverbModel::ReverbModel()
{
    for (int side = 0; side < 2; ++side)
    {
        for (int c = 0; c < numCombs; ++c)
            combs[side][c].buffer.assign ((size_t) combLengths[side][c], 0.0f);
        for (int a = 0; a < numAllPasses; ++a)
            allPasses[side][a].buffer.assign ((size_t) allPassLengths[side][a], 0.0f);
    }
}

void ReverbModel::setRoomSize (float roomSize) noexcept
{
    combFeedback = dsp::limitValue (roomSize, 0.0f, 1.0f) * 0.28f + 0.7f;
}

void ReverbModel::process (float* left, float* right, float wet, float dry) noexcept
{
    const float wet1 = (width + 1.0f) * 0.5f * wet;
    const float wet2 = (1.0f - width) * 0.5f * wet;
    const float input = (*left + *right) * inputGain;

    float out[2] = { 0.0f, 0.0f };
    for (int side = 0; side < 2; ++side)
    {
        for (auto& comb : combs[side])
            out[side] += comb.process (input, combFeedback);
        for (auto& allPass : allPasses[side])
            out[side] = allPass.process (out[side]);
    }

    *left = *left * dry + out[0] * wet1 + out[1] * wet2;
    *right = *right * dry + out[1] * wet1 + out[0] * wet2;
}
}

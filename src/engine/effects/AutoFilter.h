#pragma once

#include "engine/effects/FXBaseClass.h"

namespace zund
{
/** LFO filter: a low-pass whose cutoff the first LFO sweeps down from the top
    by the depth; fully wet while active (the level only switches it). */
class AutoFilter : public FXBaseClass
{
public:
    void process (float* left, float* right, int numSamples) noexcept override;

private:
    struct ChannelState
    {
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };

    void updateCoefficients() noexcept;
    float filterSample (ChannelState& state, float x) noexcept;

    int updateCounter = 0;
    float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
    ChannelState channels[2];
};
}

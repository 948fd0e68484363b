#pragma once

#include "engine/effects/Pan.h"

namespace zund
{
/** Gate tremolo: the sound is on during the first half of each LFO period and
    off (down to a floor that falls with the level) during the second, with 3 ms
    ramps at each edge. Shares the pan's depth-to-LFO-speed mapping. */
class Tremolo : public Pan
{
public:
    void process (float* left, float* right, int numSamples) noexcept override;

private:
    float gateRamp = 0.0f;
    float gate = 0.0f;
};
}

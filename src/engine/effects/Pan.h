#pragma once

#include "engine/effects/FXBaseClass.h"

namespace zund
{
/** Auto-pan: the first LFO moves the sound between left and right, as far as
    the level allows. The depth sets the LFO speed relative to the beat length. */
class Pan : public FXBaseClass
{
public:
    /** Depth 0..0.5 gives LFO factors 0..0.25, 0.5..1 gives 0.25..2.25. */
    void setDepth (float depth) noexcept override;
    void process (float* left, float* right, int numSamples) noexcept override;
};
}

#pragma once

#include "engine/effects/FXBaseClass.h"
#include "engine/effects/ReverbModel.h"

namespace zund
{
/** Reverb with the depth as room size. Level 0.5 gives the full reverb over the
    full dry signal, level 1 the reverb alone. Keeps running while inactive, so
    its tail rings out. */
class Reverb : public FXBaseClass
{
public:
    Reverb();

    /** The room size follows the depth here, once per change, not per sample. */
    void setDepth (float depth) noexcept override;
    void process (float* left, float* right, int numSamples) noexcept override;

private:
    ReverbModel model;
};
}

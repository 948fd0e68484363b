#include "engine/Engine.h"

namespace zund
{
// The PeakLimiter of the output entry limits the device pair in place, once
// per block.
void Engine::limitOutputPair (int entry, float* left, float* right, int numSamples) noexcept
{
    outputLimiters[entry].process (left, right, numSamples);
}
}

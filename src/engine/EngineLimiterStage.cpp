#include "engine/Engine.h"

namespace zund
{
// The PeakLimiter of the output entry limits the device pair in place, once
// per block.
void Engine::limitOutputPair (int entry, float* left, float* right, int numSamples) noexcept
{
    outputLimiters[entry].process (left, right, numSamples);
}

// The six output limiters and the recording limiter take the device rate.
void Engine::setLimiterSampleRate (double rate)
{
    for (auto& limiter : outputLimiters)
        limiter.setSampleRate (rate);
    recordingLimiter.setSampleRate (rate);
}
}

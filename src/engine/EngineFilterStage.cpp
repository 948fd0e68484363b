#include "engine/Engine.h"

namespace zund
{
// A set's filter: the SweepFilter when filterSettings[set].type is not 0, else
// the StateVariableFilter. Passes the sample through until they are wired in.
void Engine::filterSample (int set, float& left, float& right) noexcept
{
    juce::ignoreUnused (set, left, right);
}

// A set's EqProcessor, after the filter.
void Engine::eqSample (int set, float& left, float& right) noexcept
{
    juce::ignoreUnused (set, left, right);
}

// Both filters and the EQ of every set take the device rate.
void Engine::setFilterSampleRate (double rate)
{
    juce::ignoreUnused (rate);
}
}

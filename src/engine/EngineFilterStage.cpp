#include "engine/Engine.h"

namespace zund
{
// A set's filter: the SweepFilter unless the type is 0, which picks the
// StateVariableFilter. Both keep gliding towards their knobs only while run.
void Engine::filterSample (int set, float& left, float& right) noexcept
{
    auto& filters = filterSets[set];
    if (filters.type.load (std::memory_order_relaxed) == 0)
        filters.stateVariable.process (&left, &right);
    else
        filters.sweep.process (&left, &right);
}

// A set's EqProcessor, after the filter.
void Engine::eqSample (int set, float& left, float& right) noexcept
{
    filterSets[set].eq.process (&left, &right);
}

// Called under the lock: the EQs redesign their sections for the new rate.
void Engine::setFilterSampleRate (double rate)
{
    for (auto& filters : filterSets)
    {
        filters.stateVariable.setSampleRate ((float) rate);
        filters.sweep.setSampleRate ((float) rate);
        filters.eq.setSampleRate ((float) rate);
    }
}
}

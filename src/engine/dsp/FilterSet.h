#pragma once

#include "engine/dsp/EqProcessor.h"
#include "engine/dsp/StateVariableFilter.h"
#include "engine/dsp/SweepFilter.h"

#include <atomic>

namespace zund
{
/** The filters and EQ of one channel (or of the master). The engine runs one
    of the two filters, chosen by type, then the EQ.

    The filters' knobs are atomics, stored without the lock; the EQ redesigns
    coefficients, so its setters are called under the engine lock. */
struct FilterSet
{
    std::atomic<int> type { 1 }; // 0 the state-variable filter, any other the sweep filter
    StateVariableFilter stateVariable;
    SweepFilter sweep;
    EqProcessor eq;
};
}

#pragma once

#include <atomic>

namespace zund
{
/** Knob values of one filter set (a channel's or the master's) as last set.
    Plain stores from the control threads. */
struct FilterSettings
{
    std::atomic<int> type { 1 }; // 0 the state-variable filter, any other the sweep filter
    std::atomic<float> frequency { 0.5f };
    std::atomic<float> resonance { 0.0f };
    std::atomic<float> lowPassLevel { 1.0f };
    std::atomic<float> bandPassLevel { 0.0f };
    std::atomic<float> highPassLevel { 0.0f };
};

/** EQ values of one set as last set; written under the engine lock. */
struct EqSettings
{
    float lowGainDb = 0.0f, midGainDb = 0.0f, highGainDb = 0.0f; // shelving and peak gains
    float lowBandGain = 1.0f, midBandGain = 1.0f, highBandGain = 1.0f; // band-split gains
    float midFrequency = 1000.0f;
    bool killLow = false, killMid = false, killHigh = false;
    bool bandSplit = false; // mode 1
};
}

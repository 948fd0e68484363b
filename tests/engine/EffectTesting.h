#pragma once

#include "engine/effects/FXBaseClass.h"

#include <cstddef>

#include <vector>

namespace zund::test
{
using Buffer = std::vector<float>;

/** Switched on at 120 BPM (a bar of 88,200 samples at 44.1 kHz, times the beat length). */
inline void switchOn (FXBaseClass& fx, float depth, float mix, double beatLength = 1.0, double tempo = 120.0)
{
    fx.setTempo (tempo);
    fx.setBeatLength (beatLength);
    fx.setDepth (depth);
    fx.setMix (mix);
    fx.setOn (true);
}

/** The input on both sides through the effect; returns the left side. */
inline Buffer through (FXBaseClass& fx, Buffer left, Buffer* rightOut = nullptr)
{
    auto right = left;
    fx.process (left.data(), right.data(), (int) left.size());
    if (rightOut != nullptr)
        *rightOut = right;
    return left;
}

/** Lets the level reach its target, then restarts the LFO at phase 0. */
inline void settle (FXBaseClass& fx)
{
    through (fx, Buffer (44100, 0.0f));
    fx.setOn (true);
}

inline Buffer impulse (int numSamples)
{
    Buffer b ((size_t) numSamples, 0.0f);
    b[0] = 1.0f;
    return b;
}
}

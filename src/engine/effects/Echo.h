#pragma once

#include "engine/effects/FXBaseClass.h"

#include <memory>

namespace zund
{
/** Tempo-locked stereo echo with feedback 0.6: the depth picks the echo time as
    a share of the LFO period (up to a quarter on the knob's lower half, up to a
    full period on the upper). A new echo time never jumps: the echo fades out
    over 1 ms, the delay changes, and it fades back in over 1 ms.
    Keeps running while inactive, so its lines stay filled. */
class Echo : public FXBaseClass
{
public:
    static constexpr int lineSize = 1 << 20;

    Echo();

    void setBeatLength (double beats) noexcept override;
    void setDepth (float depth) noexcept override;
    void process (float* left, float* right, int numSamples) noexcept override;

    /** The echo time that the depth asked for, in samples (before the fixed
        2-sample offset). */
    float getTargetDelay() const noexcept { return targetDelay; }

protected:
    float feedback = 0.6f;

private:
    static constexpr int lineMask = lineSize - 1;

    std::unique_ptr<float[]> lineLeft, lineRight;
    int writeIndex = 0;
    float currentDelay = 1.0f, targetDelay = 1.0f;
    float crossfadeStep = 0.0f, crossfadeGain = 1.0f;
};

/** The echo without feedback: every sound repeats once. */
class Delay : public Echo
{
public:
    Delay() { feedback = 0.0f; }
};
}

#pragma once

#include "engine/effects/FXBaseClass.h"

namespace zund
{
/** Four second-order all-pass stages with feedback, swept by the second LFO
    between about 1.3 kHz and 20 kHz (scaled by the depth). The stage
    coefficients are recomputed every 8 samples with polynomial sine and cosine. */
class Phaser : public FXBaseClass
{
public:
    void process (float* left, float* right, int numSamples) noexcept override;

    /** Polynomial approximations of sin (2 pi x) and cos (2 pi x) for x in 0..0.5. */
    static float polySin (float x) noexcept;
    static float polyCos (float x) noexcept;

private:
    static constexpr int numStages = 4;
    // The sweep is fixed in fractions of 44.1 kHz whatever the device rate.
    static constexpr float sweepMinimum = 1280.0f / 44100.0f;
    static constexpr float sweepMaximum = 20480.0f / 44100.0f;
    static constexpr float sweepRange = sweepMaximum - sweepMinimum;

    struct Stage
    {
        float u1 = 0.0f, u2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };

    void updateCoefficients() noexcept;
    float processChannel (Stage* stages, float& lastOutput, float input, float feedback) noexcept;

    float lastOutputLeft = 0.0f, lastOutputRight = 0.0f;
    int updateCounter = 0;
    // Both channels sweep together, so they share one set of coefficients.
    float k0 = 0.0f, k1 = 0.0f;
    Stage stagesLeft[numStages], stagesRight[numStages];
};
}

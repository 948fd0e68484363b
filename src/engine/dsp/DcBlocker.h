#pragma once

#include "engine/dsp/DspHelpers.h"

namespace zund
{
/** First-order 5 Hz high-pass that takes DC offsets out of a channel's source. */
class DcBlocker
{
public:
    static constexpr double cutoffHz = 5.0;

    DcBlocker() noexcept;

    void setSampleRate (double rate) noexcept;
    void reset() noexcept;

    void process (float& left, float& right) noexcept
    {
        left = step (left, 0);
        right = step (right, 1);
    }

private:
    float step (float x, int side) noexcept
    {
        const float y = dsp::killDenormal (a1 * lastOutput[side] + b0 * x + b1 * lastInput[side]);
        lastInput[side] = x;
        lastOutput[side] = y;
        return y;
    }

    float b0 = 0.0f, b1 = 0.0f, a1 = 0.0f;
    float lastInput[2] = {}, lastOutput[2] = {};
};
}

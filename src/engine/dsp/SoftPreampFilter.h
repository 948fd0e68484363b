#pragma once

namespace zund
{
/** Phono preamp for a turntable's input pair: x20 gain, hard clip to -1..+1,
    then a fixed second-order equalising filter per side. */
class SoftPreampFilter
{
public:
    static constexpr float inputGain = 20.0f;

    /** Processes the two buffers in place. */
    void process (float* left, float* right, int numSamples) noexcept;
    void reset() noexcept;

private:
    struct History
    {
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };

    float step (float x, History& h) const noexcept;

    float a1 = -1.8554648f, a2 = 0.8559721f;
    float b0 = 1.0f, b1 = -0.8479577f, b2 = -0.1127632f;
    History history[2];
};
}

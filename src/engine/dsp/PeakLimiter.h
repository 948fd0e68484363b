#pragma once

#include <cstdint>

namespace zund
{
/** Look-ahead peak limiter for one stereo pair: delays the signal by 44 samples,
    follows the peaks of the undelayed signal (held for 44 samples, fast attack,
    slower release), divides the delayed signal by that envelope and clips what
    is still beyond full scale. Below full scale it only delays.
    Time constants are fixed in samples. A non-finite input sample counts as
    silence, so one bad sample cannot poison the envelope for good. */
class PeakLimiter
{
public:
    static constexpr int holdLength = 44;
    static constexpr int ringSize = 1024;

    PeakLimiter();

    /** Limits both buffers in place; nothing happens for a null buffer or numSamples < 1. */
    void process (float* left, float* right, int numSamples) noexcept;

private:
    static constexpr int ringMask = ringSize - 1;

    double attack;
    double release;
    int32_t holdCounter = 0;
    float heldPeak = 1.0f;
    double envelope = 1.0;
    int32_t writeIndex = 0;
    float ringLeft[ringSize] = {};
    float ringRight[ringSize] = {};
};
}

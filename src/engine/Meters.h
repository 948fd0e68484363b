#pragma once

#include <atomic>

namespace zund
{
/** Peak and hold levels of a stereo signal, kept in locals by the audio thread
    while it processes a chunk. Only positive excursions raise a meter. */
struct StereoMeter
{
    float peak[2] = {};
    float hold[2] = {};

    void update (float left, float right, float fastDecay, float slowDecay) noexcept
    {
        updateSide (0, left, fastDecay, slowDecay);
        updateSide (1, right, fastDecay, slowDecay);
    }

private:
    void updateSide (int side, float x, float fastDecay, float slowDecay) noexcept
    {
        peak[side] = x > peak[side] ? x : peak[side] * fastDecay + 1.0e-18f;
        hold[side] = x > hold[side] ? x : hold[side] * slowDecay + 1.0e-18f;
    }
};

/** A meter as the views read it: written by the audio thread after each chunk. */
struct PublishedMeter
{
    std::atomic<float> peak[2] {};
    std::atomic<float> hold[2] {};

    StereoMeter load() const noexcept
    {
        StereoMeter m;
        for (int side = 0; side < 2; ++side)
        {
            m.peak[side] = peak[side].load (std::memory_order_relaxed);
            m.hold[side] = hold[side].load (std::memory_order_relaxed);
        }
        return m;
    }

    void store (const StereoMeter& m) noexcept
    {
        for (int side = 0; side < 2; ++side)
        {
            peak[side].store (m.peak[side], std::memory_order_relaxed);
            hold[side].store (m.hold[side], std::memory_order_relaxed);
        }
    }
};
}

#pragma once

#include <atomic>

namespace zund
{
/** One-knob filter: a resonant low-pass on the left half of the knob, a
    high-pass on the right half, transparent in a dead zone around the middle.
    A second-order section, 2x oversampled.

    The knobs are stored from the message or a MIDI thread without a lock; the
    audio thread glides towards them (coefficients once every four samples).
    Crossing the middle clears the filter memory once. */
class SweepFilter
{
public:
    SweepFilter() = default;

    /** Knob 0..1: 0..0.5 low-pass, 0.5..1 high-pass, 0.47..0.53 fading to dry. */
    void setFrequency (float knob) noexcept;
    /** Knob 0..1, stored unscaled. */
    void setResonance (float knob) noexcept;
    void setSampleRate (float rate) noexcept;

    void process (float* left, float* right) noexcept;

private:
    struct ChannelState
    {
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };

    void update() noexcept;
    float filterSample (ChannelState& state, float x) noexcept;

    bool lowPass = true;
    int updateCounter = 0;
    std::atomic<float> resonanceTarget { 0.0f };
    std::atomic<float> frequencyTarget { 0.498f };
    float sampleRate = 44100.0f;
    float smoothedFrequency = 0.498f;
    float smoothedResonance = 0.0f;
    ChannelState channels[2];
    float designedFrequency = -1.0f, designedResonance = -1.0f, designedRate = -1.0f; // of the coefficients below
    float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
    float wet = 0.0f, dry = 1.0f;
};
}

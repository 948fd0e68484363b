#pragma once

#include <atomic>

namespace zund
{
/** Resonant state-variable filter whose low-pass, high-pass and band-pass
    outputs are mixed by three level controls; 2x oversampled.

    Knobs and levels are stored from the message or a MIDI thread without a lock;
    the audio thread glides towards them (0.001 of the way once every four
    samples), so no coefficient ever jumps. process() works on one stereo sample
    in place. */
class StateVariableFilter
{
public:
    StateVariableFilter() = default;

    /** Output level targets, stored by the Engine's level controls. */
    std::atomic<float> lowPassLevel { 1.0f };
    std::atomic<float> highPassLevel { 0.0f };
    std::atomic<float> bandPassLevel { 0.0f };

    /** Knob 0..1: 20 Hz .. 20,480 Hz on a log scale. */
    void setFrequency (float knob) noexcept;
    /** Knob 0..1, stored as knob x 0.6. */
    void setResonance (float knob) noexcept;
    void setSampleRate (float rate) noexcept;

    void process (float* left, float* right) noexcept;

private:
    struct ChannelState
    {
        float low = 0.0f, high = 0.0f, band = 0.0f, notch = 0.0f;
    };

    void update() noexcept;
    float filterSample (ChannelState& state, float x) noexcept;

    std::atomic<float> frequencyTarget { 1.0f };
    std::atomic<float> resonanceTarget { 0.0f };
    float sampleRate = 44100.0f;
    ChannelState channels[2];
    float smoothedFrequency = 1.0f;
    float smoothedResonance = 0.0f;
    float f = 0.0f;
    float damping = 2.0f;
    float smoothedLowLevel = 0.0f;
    float smoothedHighLevel = 0.0f;
    float smoothedBandLevel = 0.0f;
    int updateCounter = 0;
};
}

#pragma once

namespace zund
{
/** Base of the built-in effects: a wet level that glides towards its target and
    fades out when the effect is switched off, a tempo-locked triangle LFO (with a
    second one half a period later) and one depth parameter.

    The setters are called from the message or a MIDI thread under the Engine
    lock; process() runs on the audio thread under the same lock. */
class FXBaseClass
{
public:
    FXBaseClass();
    virtual ~FXBaseClass() = default;

    /** Length of one LFO period in 4/4 bars (1.0 = one bar); updates the LFO rate. */
    virtual void setBeatLength (double beats) noexcept;
    /** Target of the wet level, 0..1. */
    virtual void setMix (float mix) noexcept;
    /** The effect's one parameter, 0..1. */
    virtual void setDepth (float depth) noexcept;
    /** Switching on restarts the LFO from phase 0. */
    virtual void setOn (bool on) noexcept;
    /** Processes both buffers in place. */
    virtual void process (float* left, float* right, int numSamples) noexcept = 0;

    void setSampleRate (double rate) noexcept;
    /** Beats per minute; 0 or below counts as 1. */
    void setTempo (double bpm) noexcept;
    /** Takes over tempo, depth, on flag, level, level target, LFO phase and beat
        length of the effect this one replaces. */
    void copyStateFrom (const FXBaseClass& other) noexcept;

    /** Handed to the effect that replaces this one. */
    float getDepth() const noexcept { return depth; }

protected:
    /** Once per sample before the effect's own work: level, activity, LFOs, phase. */
    void tick() noexcept;
    void updateLfoRate() noexcept;

    static float triangle (double phase) noexcept;

    float lfo1 = 0.0f, lfo2 = 0.0f;
    float level = 0.0f;
    float sampleRate = 44100.0f;
    bool active = false;
    bool on = false;
    float depth = 0.5f;
    double tempo = 120.0;
    float attack = 0.0f, release = 1.0f;
    float levelTarget = 0.0f;
    double lfoIncrement = 0.0;
    double lfoPhase = 0.0;
    double previousPhase = 0.0;
    double lfoPeriod = 2.0;
    double beatLength = 1.0;
    double lfoFactor = 1.0;
};
}

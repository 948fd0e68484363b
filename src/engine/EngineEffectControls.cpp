#include "engine/Engine.h"

namespace zund
{
//==============================================================================
// Built-in effect.
void Engine::setFXType (int type)
{
    if (type == fxType.load())
        return;
    // A type that makes no effect keeps the current one.
    if (! replaceEffect (type))
        return;
    fxType = type;
}

void Engine::setFXOn (bool on)
{
    fxOn = on;
    updateEffect ([on] (FXBaseClass& effect) { effect.setOn (on); });
}

void Engine::setFXTempo (double bpm)
{
    fxTempo = bpm;
    updateEffect ([bpm] (FXBaseClass& effect) { effect.setTempo (bpm); });
}

void Engine::setFXBeatLength (double beats)
{
    fxBeatLength = beats;
    updateEffect ([beats] (FXBaseClass& effect) { effect.setBeatLength (beats); });
}

void Engine::setFXDepth (float depth)
{
    fxDepth = depth;
    updateEffect ([depth] (FXBaseClass& effect) { effect.setDepth (depth); });
}

void Engine::setFXMix (float mix)
{
    fxMix = mix;
    updateEffect ([mix] (FXBaseClass& effect) { effect.setMix (mix); });
}

void Engine::setFXChannel (int channel)
{
    fxChannel = channel;
}

//==============================================================================
// Plug-ins: both filling and emptying a slot take the lock, so that a slot may
// delete its plug-in as soon as it has handed the engine null.
bool Engine::setPlugin (int bus, int slot, juce::AudioProcessor* instance)
{
    if (bus != masterSet || slot < 0 || slot > 1)
        return false;

    juce::AudioProcessor* previous = nullptr;
    {
        const juce::ScopedLock sl (lock);
        if (instance != nullptr && ! preparePlugin (*instance))
            return false;
        previous = plugins[slot];
        plugins[slot] = instance;
    }

    // No block can reach it any more; still in use only if it is also in the other slot.
    if (previous != nullptr && previous != instance && previous != plugins[1 - slot])
    {
        previous->releaseResources();
        previous->setPlayHead (nullptr);
    }
    return true;
}

//==============================================================================
// Preview player.
void Engine::startPreview()
{
    previewPlaying = true;
}

void Engine::stopPreview()
{
    previewPlaying = false;
}

void Engine::previewFastForward()
{
    pendingPreviewWind = windForward;
}

void Engine::previewRewind()
{
    pendingPreviewWind = windBackward;
}

void Engine::previewStopWinding()
{
    pendingPreviewWind = windStop;
}

//==============================================================================
// Recording.
bool Engine::startRecording (const juce::String& path, int bits, bool recordMainMix)
{
    stopRecording();
    recordMix = recordMainMix;
    recording = startRecorderFile (path, bits);
    return recording.load();
}

bool Engine::stopRecording()
{
    // The audio thread stops feeding before the recorder finishes the file.
    if (! recording.exchange (false))
        return true;
    return stopRecorderFile();
}

void Engine::feedRecorder (const float* left, const float* right, int numSamples)
{
    // While the mix is recorded the master bus feeds the recorder itself.
    if (recordMix.load() || left == nullptr || right == nullptr || numSamples < 1)
        return;
    writeToRecorder (left, right, numSamples);
}
}

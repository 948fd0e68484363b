#include "engine/Engine.h"

#include "engine/ControlLimits.h"
#include "engine/effects/EffectFactory.h"

namespace zund
{
using controlLimits::acceptWithin;

//==============================================================================
// Built-in effect.
void Engine::setFXType (int type)
{
    if (type == fxType.load())
        return;

    // Built outside the lock (the echo lines are 8 MB); a type that makes no
    // effect keeps the current one.
    auto effect = createEffect (type);
    if (effect == nullptr)
        return;

    {
        // The type is tested and stored with the swap, so that two threads
        // cannot leave it naming one effect while the other runs.
        const juce::ScopedLock sl (lock);
        if (type != fxType.load())
        {
            installEffect (effect);
            fxType = type;
        }
    }
    // The effect that went out (or the unused new one) is deleted here, outside the lock.
}

void Engine::setFXOn (bool on)
{
    fxOn = on;
    updateEffect ([on] (FXBaseClass& effect) { effect.setOn (on); });
}

void Engine::setFXTempo (double bpm)
{
    // A NaN here would make the plug-ins' play head NaN for good.
    if (! acceptWithin (bpm, controlLimits::minTempo, controlLimits::maxTempo))
        return;
    fxTempo = bpm;
    updateEffect ([bpm] (FXBaseClass& effect) { effect.setTempo (bpm); });
}

void Engine::setFXBeatLength (double beats)
{
    if (! acceptWithin (beats, controlLimits::minBeats, controlLimits::maxBeats))
        return;
    fxBeatLength = beats;
    updateEffect ([beats] (FXBaseClass& effect) { effect.setBeatLength (beats); });
}

void Engine::setFXDepth (float depth)
{
    if (! acceptWithin (depth, 0.0f, 1.0f))
        return;
    fxDepth = depth;
    updateEffect ([depth] (FXBaseClass& effect) { effect.setDepth (depth); });
}

void Engine::setFXMix (float mix)
{
    if (! acceptWithin (mix, 0.0f, 1.0f))
        return;
    fxMix = mix;
    updateEffect ([mix] (FXBaseClass& effect) { effect.setMix (mix); });
}

void Engine::setFXChannel (int channel)
{
    fxChannel = channel;
}

//==============================================================================
// Plug-ins: both filling and emptying a slot take the lock, so that a slot may
// delete its plug-in as soon as it has handed the engine null. A new plug-in is
// prepared before the lock is taken, so that the audio runs on meanwhile; one
// that is already in a slot is in use and is prepared under the lock.
bool Engine::setPlugin (int bus, int slot, juce::AudioProcessor* instance)
{
    if (bus != masterSet || slot < 0 || slot > 1)
        return false;

    const bool inUse = instance != nullptr && (instance == plugins[0] || instance == plugins[1]);
    double preparedRate = 0.0;
    if (instance != nullptr && ! inUse)
    {
        preparedRate = sampleRate.load();
        if (! preparePlugin (*instance, preparedRate))
            return false;
    }

    juce::AudioProcessor* previous = nullptr;
    {
        const juce::ScopedLock sl (lock);
        if (instance != nullptr)
        {
            // Again at the current rate when the device changed it meanwhile.
            const double rate = sampleRate.load();
            if ((rate != preparedRate && ! preparePlugin (*instance, rate)) || ! reservePluginBuffer (*instance))
                return false;
        }
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

Engine::RecordingHalt Engine::getRecordingHalt() const noexcept
{
    if (! recording.load())
        return RecordingHalt::none;
    if (recorder.hasWriteFailed())
        return RecordingHalt::writeFailed;
    return recorder.hasReachedSizeLimit() ? RecordingHalt::sizeLimit : RecordingHalt::none;
}

void Engine::feedRecorder (const float* left, const float* right, int numSamples)
{
    // While the mix is recorded the master bus feeds the recorder itself.
    if (recordMix.load() || left == nullptr || right == nullptr || numSamples < 1)
        return;
    writeToRecorder (left, right, numSamples);
}
}

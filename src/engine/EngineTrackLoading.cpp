#include "engine/Engine.h"

#include "engine/ControlLimits.h"

namespace zund
{
namespace
{
constexpr int restartSettleMs = 200; // lets the fill thread load the pre-roll before play
}

bool Engine::loadTrack (int channel, const juce::File& file, double bpm)
{
    if (! isChannel (channel) || ! file.existsAsFile())
        return false;

    auto& ch = channels[channel];

    // Silence the channel before the swap, so that it never plays the new
    // track from the old track's position.
    const bool wasPending = ch.restartPending.exchange (true);
    if (! readers[channel].load (file.getFullPathName()))
    {
        ch.restartPending = wasPending; // the old track plays on
        return false;
    }

    takeControl (channel);
    loops[channel].requestClear();
    if (! controlLimits::acceptWithin (bpm, 0.0, controlLimits::maxTempo))
        bpm = 0.0; // no tempo known
    ch.trackBpm = bpm;
    updateTempoSync (channel);
    ch.trackLoaded = true;
    return true;
}

void Engine::timerCallback()
{
    for (int c = 0; c < numMixerChannels; ++c)
        if (channels[c].restartPending.load() && ! readers[c].isBusy())
            restartDeck (c);
}

void Engine::restartDeck (int channel)
{
    if (! isChannel (channel))
        return;

    auto& ch = channels[channel];
    auto& reader = readers[channel];

    double start = 0.0;
    if (! ch.absolute.load())
    {
        // One second of pre-roll: the first second of vinyl motion plays silence.
        start = -(double) reader.getSampleRate();
        ch.pendingRestartPosition.post (start);
    }
    else
    {
        requestTimecodeResync (followedDeck (channel));
        start = ch.playPosition.load();
    }

    // Refill around the start; the audio thread does not read this reader
    // while the restart is pending.
    reader.invalidateBlocks();
    float left = 0.0f, right = 0.0f;
    reader.read (start, left, right);

    juce::Thread::sleep (restartSettleMs);
    ch.restartPending = false;
}

bool Engine::loadPreviewFile (const juce::File& file)
{
    if (! file.existsAsFile() || ! readers[previewChannel].load (file.getFullPathName()))
        return false;
    pendingPreviewPosition.post (0.0);
    previewPlaying = true;
    return true;
}
}

#include "engine/Engine.h"

#include "engine/FrameCount.h"

#include <algorithm>

namespace zund
{
void Engine::setNumChannels (int count)
{
    const juce::ScopedLock sl (lock);
    numChannels = std::clamp (count, 2, numMixerChannels);
    reevaluatePitchLocks();
}

int Engine::getNumChannels() const noexcept
{
    return numChannels.load();
}

void Engine::setPlaying (int channel, bool on)
{
    if (! isChannel (channel))
        return;
    auto& ch = channels[channel];
    if (ch.absolute.load() && on && ! ch.playing.load())
        requestTimecodeResync (followedDeck (channel));
    ch.playing = on;
}

bool Engine::isPlaying (int channel) const noexcept
{
    return isChannel (channel) && channels[channel].playing.load();
}

bool Engine::isTrackLoaded (int channel) const noexcept
{
    return isChannel (channel) && channels[channel].trackLoaded.load();
}

void Engine::setPositionSeconds (int channel, float seconds)
{
    // Posted: the audio thread applies the seek at its next chunk (a channel's
    // seek only while it neither loops nor follows the record absolutely).
    if (channel == previewChannel)
        pendingPreviewPosition.post (readers[previewChannel].getSampleRate() * (double) seconds);
    else if (isChannel (channel))
        channels[channel].pendingSeek.post (readers[channel].getSampleRate() * (double) seconds);
}

void Engine::setPositionFraction (int channel, double fraction)
{
    if (isChannel (channel) || channel == previewChannel)
        setPositionSeconds (channel, (float) (readers[channel].getLengthInSeconds() * fraction));
}

double Engine::getPositionFraction (int channel) const noexcept
{
    double position = 0.0;
    if (channel == previewChannel)
        position = previewPosition.load();
    else if (isChannel (channel))
        position = channels[channel].playPosition.load();
    else
        return 0.0;

    const auto length = readers[channel].getLengthInSamples();
    return length > 0 ? position / (double) length : 0.0;
}

float Engine::getPositionSeconds (int channel) const noexcept
{
    if (! isChannel (channel))
        return 0.0f;
    const int rate = readers[channel].getSampleRate();
    if (rate <= 0)
        return 0.0f;
    return (float) ((double) truncateFrames (channels[channel].playPosition.load()) / (double) rate);
}

float Engine::getRemainingSeconds (int channel) const noexcept
{
    if (! isChannel (channel))
        return 0.0f;
    const int rate = readers[channel].getSampleRate();
    const double length = (double) readers[channel].getLengthInSamples() / (rate > 10 ? rate : 44100);
    return std::max (0.0f, (float) length - getPositionSeconds (channel));
}

juce::int64 Engine::getPlayPosition (int channel) const noexcept
{
    return isChannel (channel) ? truncateFrames (channels[channel].playPosition.load()) : 0;
}
}

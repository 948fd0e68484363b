#include "engine/Engine.h"

#include "engine/ControlLimits.h"
#include "engine/FrameCount.h"

namespace zund
{
//==============================================================================
// Loop sampler: the audio thread applies these at its next chunk.
void Engine::setLoopActive (int slot, bool on, bool keepRunning)
{
    if (isSet (slot))
        loops[slot].requestActive (on, keepRunning);
}

void Engine::setLoopBeats (int slot, double beats)
{
    // 0 (no cell of the grid chosen) gives the shortest loop.
    if (isSet (slot) && controlLimits::acceptWithin (beats, 0.0, controlLimits::maxBeats))
        loops[slot].setBeats (beats);
}

void Engine::setLoopLengthKnob (int slot, double x)
{
    if (isSet (slot) && controlLimits::acceptWithin (x, 0.0, 1.0))
        loops[slot].setLengthKnob (x);
}

bool Engine::isLoopActive (int slot) const noexcept
{
    return isSet (slot) && loops[slot].isActivePublished();
}

juce::int64 Engine::getLoopStart (int slot) const noexcept
{
    return isSet (slot) ? truncateFrames (loops[slot].getStartPublished()) : 0;
}

juce::int64 Engine::getLoopEnd (int slot) const noexcept
{
    return isSet (slot) ? truncateFrames (loops[slot].getEndPublished()) : 0;
}

//==============================================================================
// Tempo sync and clock.
void Engine::setChannelSync (int channel, bool on)
{
    if (! isChannel (channel))
        return;
    auto& ch = channels[channel];
    if (on && ! ch.sync.load())
    {
        ch.sync = true;
        updateTempoSync (channel);
    }
    else if (! on)
    {
        ch.sync = false;
        ch.syncFactor = 1.0;
    }
}

bool Engine::isChannelSync (int channel) const noexcept
{
    return isChannel (channel) && channels[channel].sync.load();
}

void Engine::updateTempoSync (int channel)
{
    auto& ch = channels[channel];
    double factor = 1.0;

    // The reference is the clock channel, or the one before it when the clock
    // is this channel itself.
    const int clock = clockChannel.load();
    const int reference = clock == channel ? previousClockChannel.load() : clock;

    if (ch.sync.load() && ch.trackBpm.load() > 0.0 && isChannel (clock) && channels[clock].trackLoaded.load()
        && isChannel (reference) && reference != channel && channels[reference].trackBpm.load() > 0.0)
    {
        const auto& ref = channels[reference];
        const bool followsOneDeck = allActiveChannelsFollowOneDeck();
        const double referenceSpeed = followsOneDeck ? ref.speed.load() : ref.smoothedSpeed.load();
        const double f = ref.trackBpm.load() / ch.trackBpm.load() * referenceSpeed * ref.syncFactor.load();
        if (f >= 0.2 && f <= 5.0)
            factor = f;
    }

    ch.syncFactor = factor;
}

void Engine::setClockChannel (int channel)
{
    // Only a channel can be the clock; anything else would index past the channels.
    if (! isChannel (channel) || channel == clockChannel.load())
        return;
    previousClockChannel = clockChannel.load();
    clockChannel = channel;
}

int Engine::getClockChannel() const noexcept
{
    return clockChannel.load();
}

double Engine::getTrackBpm (int channel) const noexcept
{
    return isChannel (channel) ? channels[channel].trackBpm.load() : 0.0;
}

double Engine::getEffectiveBpm (int channel) const noexcept
{
    if (! isChannel (channel) || ! (channels[channel].trackBpm.load() > 0.0))
        return 0.0;
    const auto& ch = channels[channel];
    return ch.trackBpm.load() * ch.syncFactor.load() * ch.speed.load();
}

double Engine::getCurrentBpm (int channel) const noexcept
{
    if (! isChannel (channel) || ! (channels[channel].trackBpm.load() > 0.0))
        return 0.0;
    const auto& ch = channels[channel];
    return ch.trackBpm.load() * ch.syncFactor.load() * ch.smoothedSpeed.load();
}
}

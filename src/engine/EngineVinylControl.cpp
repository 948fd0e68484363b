#include "engine/Engine.h"

#include <algorithm>

namespace zund
{
int Engine::followedDeck (int channel) const noexcept
{
    return std::clamp (channels[channel].inputDeck.load(), 0, numDecks - 1);
}

bool Engine::allActiveChannelsFollowOneDeck() const noexcept
{
    const int active = numChannels.load();
    for (int c = 1; c < active; ++c)
        if (channels[c].inputDeck.load() != channels[0].inputDeck.load())
            return false;
    return true;
}

void Engine::takeControl (int channel)
{
    if (! isChannel (channel))
        return;

    // The others on the deck keep running at a frozen speed: the audio thread
    // makes the copy at its next chunk, so that it is not overwritten.
    using Change = PendingSpeedChange::Change;
    const int deck = channels[channel].inputDeck.load();
    const auto freeze = allActiveChannelsFollowOneDeck() ? Change::holdSpeed : Change::holdSmoothedSpeed;
    for (int c = 0; c < numMixerChannels; ++c)
    {
        if (c == channel || channels[c].inputDeck.load() != deck)
            continue;
        channels[c].pitchLocked = true;
        channels[c].pendingSpeedChange.post (freeze);
    }
    channels[channel].pitchLocked = false;
}

void Engine::setChannelInputDeck (int channel, int deck)
{
    if (! isChannel (channel))
        return;
    auto& ch = channels[channel];
    ch.pitchLocked = true;
    ch.pendingSpeedChange.post (PendingSpeedChange::Change::stop);
    ch.inputDeck = std::clamp (deck, 0, numDecks - 1);
    reevaluatePitchLocks();
}

int Engine::getChannelInputDeck (int channel) const noexcept
{
    return isChannel (channel) ? channels[channel].inputDeck.load() : 0;
}

void Engine::reevaluatePitchLocks()
{
    // A deck whose active channels are all pitch-locked gives the control to
    // the first channel that follows it.
    const int active = numChannels.load();
    for (int deck = 0; deck < numDecks; ++deck)
    {
        bool followed = false, allLocked = true;
        for (int c = 0; c < active; ++c)
        {
            if (channels[c].inputDeck.load() != deck)
                continue;
            followed = true;
            allLocked = allLocked && channels[c].pitchLocked.load();
        }
        if (! followed || ! allLocked)
            continue;

        for (auto& ch : channels)
        {
            if (ch.inputDeck.load() == deck)
            {
                ch.pitchLocked = false;
                break;
            }
        }
    }
}

int Engine::getControlState (int channel) const noexcept
{
    if (! isChannel (channel))
        return -1;
    const int active = numChannels.load();
    const int deck = channels[channel].inputDeck.load();
    bool shared = false;
    for (int c = 0; c < active; ++c)
        shared = shared || (c != channel && channels[c].inputDeck.load() == deck);
    if (! shared)
        return -1;
    return channels[channel].pitchLocked.load() ? 0 : 1;
}

bool Engine::isPitchLocked (int channel) const noexcept
{
    return isChannel (channel) && channels[channel].pitchLocked.load();
}

bool Engine::isOnSharedDeck (int channel) const noexcept
{
    if (! isChannel (channel))
        return false;

    for (int first = 0; first < numMixerChannels; ++first)
    {
        const int deck = channels[first].inputDeck.load();
        for (int other = 0; other < numMixerChannels; ++other)
            if (other != first && channels[other].inputDeck.load() == deck)
                return channels[channel].inputDeck.load() == deck;
    }
    return false;
}
}

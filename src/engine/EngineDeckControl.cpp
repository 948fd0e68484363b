#include "engine/Engine.h"

#include "engine/ControlLimits.h"

namespace zund
{
void Engine::setDeckInput (int deck, int firstInputChannel)
{
    if (isDeck (deck))
        decks[deck].inputChannel = firstInputChannel;
}

void Engine::setSoftPreamp (int deck, bool on)
{
    if (isDeck (deck))
        decks[deck].softPreamp = on;
}

void Engine::setInvertPhaseLeft (int deck, bool on)
{
    if (isDeck (deck))
        decks[deck].invertPhaseLeft = on;
}

void Engine::setXYView (int deck, XYInputListener* view)
{
    // Under the lock, so that a view taken out is no longer being fed when this
    // returns: its owner deletes it next.
    if (! isDeck (deck))
        return;
    const juce::ScopedLock sl (lock);
    decks[deck].xyView = view;
}

void Engine::setChannelAbsolute (int channel, bool on)
{
    if (! constructed || ! isChannel (channel))
        return;
    auto& ch = channels[channel];
    if (on && ! ch.absolute.load())
        requestTimecodeResync (followedDeck (channel));
    ch.absolute = on;
}

bool Engine::isChannelAbsolute (int channel) const noexcept
{
    return isChannel (channel) && channels[channel].absolute.load();
}

void Engine::setThru (int channel, bool on)
{
    if (isChannel (channel))
        channels[channel].thru = on;
}

bool Engine::isThru (int channel) const noexcept
{
    return isChannel (channel) && channels[channel].thru.load();
}

bool Engine::hasNoSignal (int channel) const noexcept
{
    if (! isChannel (channel))
        return true;
    const int d = channels[channel].inputDeck.load();
    if (! isDeck (d))
        return true;
    if (decks[d].hasTestSource.load())
        return false;
    // A deck routed to no input pair has no decoder running.
    if (decks[d].inputChannel.load() < 0)
        return true;
    return timecodeHasNoSignal (d);
}

double Engine::getDecoderSpeed (int channel) const noexcept
{
    if (! isChannel (channel))
        return 0.0;
    const int d = channels[channel].inputDeck.load();
    if (! isDeck (d))
        return 0.0;
    if (decks[d].hasTestSource.load())
        return decks[d].testSourceSpeed.load();
    if (decks[d].inputChannel.load() < 0)
        return 0.0;
    return timecodeSpeed (d);
}

double Engine::getPitch (int channel) const noexcept
{
    return isChannel (channel) ? channels[channel].speed.load() : 0.0;
}

int Engine::getSpeedState (int channel) const noexcept
{
    if (! isChannel (channel))
        return 0;
    if (channels[channel].zeroLockActive.load())
        return 1;
    return channels[channel].scratchCounter.load() >= 1 ? 2 : 0;
}

void Engine::setVirtualZeroLockRange (double percent)
{
    // The snap, upper and lower bounds derive from the range on the audio thread.
    if (controlLimits::acceptWithin (percent, 0.0, controlLimits::maxZeroLockPercent))
        zeroLockRange = percent / 100.0;
}
}

#include "engine/Engine.h"

namespace zund
{
// The decoder only reads the deck's buffers, so THRU still plays the
// conditioned input as it came in, without the decoder's high-pass.
void Engine::runTimecodeDecoder (int deck, int numSamples) noexcept
{
    auto& d = decks[deck];
    d.decoder.process (d.left, d.right, d.speed, d.position, numSamples);
}

void Engine::requestTimecodeResync (int deck) noexcept
{
    if (isDeck (deck))
        decks[deck].decoder.requestResync();
}

bool Engine::timecodeHasNoSignal (int deck) const noexcept
{
    return ! isDeck (deck) || decks[deck].decoder.hasNoSignal();
}

double Engine::timecodeSpeed (int deck) const noexcept
{
    return isDeck (deck) ? decks[deck].decoder.getSpeed() : 0.0;
}

void Engine::setTimecodeSampleRate (double rate)
{
    for (auto& deck : decks)
        deck.decoder.setSampleRate ((int) rate);
}
}

#include "engine/Engine.h"

#include <algorithm>

namespace zund
{
// The deck's TimecodeDecoder belongs here: it filters the deck's buffers in
// place and yields a speed and a position (or -1000) per sample. Until then a
// deck with an input pair reports no motion and no position.
void Engine::runTimecodeDecoder (int deck, int numSamples) noexcept
{
    auto& d = decks[deck];
    std::fill (d.speed, d.speed + numSamples, 0.0);
    std::fill (d.position, d.position + numSamples, -1000.0f);
}

void Engine::requestTimecodeResync (int deck) noexcept
{
    juce::ignoreUnused (deck);
}

bool Engine::timecodeHasNoSignal (int deck) const noexcept
{
    juce::ignoreUnused (deck);
    return true;
}

double Engine::timecodeSpeed (int deck) const noexcept
{
    juce::ignoreUnused (deck);
    return 0.0;
}

void Engine::setTimecodeSampleRate (double rate)
{
    juce::ignoreUnused (rate);
}
}

#include "engine/Engine.h"

#include "common/audio/SampleConversion.h"
#include "engine/DevicePair.h"

#include <algorithm>

namespace zund
{
void Engine::readDeckInputs (const float* const* inputs, int numInputs, int offset, int numSamples) noexcept
{
    for (auto& deck : decks)
    {
        const int first = deck.inputChannel.load();
        if (isUsablePair (first, inputs, numInputs))
        {
            // Tamed like a plug-in's output: a NaN from the sound card would
            // otherwise stay in the preamp, the decoder and the channel's filters.
            std::transform (inputs[first] + offset, inputs[first] + offset + numSamples, deck.left, tamedSample);
            std::transform (inputs[first + 1] + offset, inputs[first + 1] + offset + numSamples, deck.right,
                            tamedSample);
        }
        else
        {
            std::fill (deck.left, deck.left + numSamples, 0.0f);
            std::fill (deck.right, deck.right + numSamples, 0.0f);
        }
    }
}

void Engine::conditionDeckInputs (int numSamples) noexcept
{
    for (auto& deck : decks)
    {
        if (deck.inputChannel.load() < 0)
            continue;
        if (deck.softPreamp.load())
            deck.preamp.process (deck.left, deck.right, numSamples);
        if (deck.invertPhaseLeft.load())
            for (int i = 0; i < numSamples; ++i)
                deck.left[i] = -deck.left[i];
    }
}

void Engine::feedXYViews (int numSamples) noexcept
{
    for (auto& deck : decks)
        if (auto* view = deck.xyView.load())
            view->addSamples (deck.left, deck.right, numSamples);
}

void Engine::decodeTimecode (int numSamples) noexcept
{
    for (int d = 0; d < numDecks; ++d)
    {
        auto& deck = decks[d];
        if (deck.testSource != nullptr)
        {
            deck.testSource (deck.speed, deck.position, numSamples);
            deck.testSourceSpeed = numSamples > 0 ? deck.speed[numSamples - 1] : 0.0;
        }
        else if (deck.inputChannel.load() < 0)
        {
            std::fill (deck.speed, deck.speed + numSamples, 0.0);
            std::fill (deck.position, deck.position + numSamples, -1.0f);
        }
        else
        {
            runTimecodeDecoder (d, numSamples);
        }
    }
}

void Engine::overrideDeckSignal (int deck, DeckState::SignalSource source)
{
    if (! isDeck (deck))
        return;
    const juce::ScopedLock sl (lock);
    decks[deck].hasTestSource = source != nullptr;
    decks[deck].testSource = std::move (source);
    decks[deck].testSourceSpeed = 0.0;
}
}

#include "app/MainComponent.h"

namespace zund
{
namespace
{
bool isMixerChannel (int channel)
{
    return channel >= 0 && channel < Engine::numMixerChannels;
}
}

void MainComponent::seekDeck (int channel, float fraction)
{
    engine->setPositionFraction (channel, fraction);
}

void MainComponent::getWaveRing (int channel, const std::atomic<float>*& peakRing,
                                 const std::atomic<float>*& averageRing)
{
    peakRing = engine->getWavePeakRing (channel);
    averageRing = engine->getWaveAverageRing (channel);
}

const std::atomic<float>* MainComponent::getPeakData (int channel)
{
    return isMixerChannel (channel) ? peakFiles[channel].getPeakArray() : nullptr;
}

const std::atomic<float>* MainComponent::getAverageData (int channel)
{
    return isMixerChannel (channel) ? peakFiles[channel].getAverageArray() : nullptr;
}

double MainComponent::getPositionFraction (int channel) const
{
    return engine->getPositionFraction (channel);
}

// Filled by track loading.
bool MainComponent::loadFileIntoDeck (const juce::String&, int)
{
    return false;
}

// Filled by track loading.
float MainComponent::getCuePoint (int, int)
{
    return -1.0f;
}

// Filled by track loading.
void MainComponent::setCuePoint (int, int, float) {}
}

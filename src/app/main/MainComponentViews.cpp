#include "app/main/MainComponent.h"

#include "ui/channel/Channel.h"

namespace zund
{
namespace
{
bool isMixerChannel (int channel)
{
    return channel >= 0 && channel < Engine::numMixerChannels;
}
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

float MainComponent::getOverviewCuePosition (int channel, int index)
{
    auto* strip = getChannel (channel);
    return strip != nullptr ? strip->getWaveDisplay().getOverview().getCuePosition (index) : -1.0f;
}

void MainComponent::setOverviewCuePosition (int channel, int index, float position)
{
    if (auto* strip = getChannel (channel))
        strip->getWaveDisplay().getOverview().setCuePosition (index, position);
}
}

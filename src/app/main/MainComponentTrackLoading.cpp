#include "app/main/MainComponent.h"

namespace zund
{
//==============================================================================
// Tracks onto the channels; the track loader does the work.

bool MainComponent::loadFileIntoDeck (const juce::String& path, int channel)
{
    return trackLoader.loadFileIntoDeck (path, channel);
}

double MainComponent::getTrackBpm (const juce::File& file)
{
    return trackLoader.getTrackBpm (file);
}

float MainComponent::getCuePoint (int channel, int index)
{
    return trackLoader.getCuePoint (channel, index);
}

void MainComponent::setCuePoint (int channel, int index, float position)
{
    trackLoader.setCuePoint (channel, index, position);
}

void MainComponent::refreshWaveDisplay (int channel)
{
    trackLoader.refreshWaveDisplay (channel);
}

void MainComponent::showPauseFirst (int channel)
{
    trackLoader.showPauseFirst (channel);
}
}

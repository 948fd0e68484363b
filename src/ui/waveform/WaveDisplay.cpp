#include "ui/waveform/WaveDisplay.h"

namespace zund
{
WaveDisplay::WaveDisplay (int channelIndex, MixerHost*)
    : ModuleComponent ("Wave Display"),
      channel (channelIndex)
{
    setSize (defaultWidth, defaultHeight);
}

WaveDisplay::~WaveDisplay() = default;

void WaveDisplay::setTrackTitle (const juce::String&) {}

void WaveDisplay::showPauseFirst() {}

void WaveDisplay::showLoadingError() {}

void WaveDisplay::updateColours() {}
}

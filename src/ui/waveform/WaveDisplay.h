#pragma once

#include "ui/panels/ModuleComponent.h"

namespace zund
{
class MixerHost;

/** "Wave Display": the top panel of a channel strip, where the channel's
    waveform, overview, status texts and cue-set buttons will stand. For now
    an empty panel of its size with the calls the strip and the main
    component make. */
class WaveDisplay : public ModuleComponent
{
public:
    static constexpr int defaultWidth = 344;
    static constexpr int defaultHeight = 168;

    WaveDisplay (int channel, MixerHost* owner);
    ~WaveDisplay() override;

    int getChannel() const noexcept { return channel; }

    /** The name of the loaded file, for the title line. */
    void setTrackTitle (const juce::String& name);
    /** The overlays over the waveform: "Pause Song first!" and "Loading error!". */
    void showPauseFirst();
    void showLoadingError();
    /** Takes the colour scheme's colours. */
    void updateColours();

private:
    const int channel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WaveDisplay)
};
}

#pragma once

#include "ui/panels/ModuleComponent.h"
#include "ui/widgets/KelToggleButton.h"
#include "ui/widgets/LevelMeterSlider.h"

namespace zund
{
class MixerHost;

/** "Channel": the input GAIN fader, drawn over the channel's pre-fader
    meter, with a marker at its middle (0 dB), and the Phones (cue) switch. */
class ChannelUpperContainer : public ModuleComponent
{
public:
    ChannelUpperContainer (int channel, MixerHost* owner);
    ~ChannelUpperContainer() override;

    /** channel x 100 + the function of each widget. */
    void assignControlIds (int channel);

    LevelMeterSlider& getGainFader() noexcept { return gain; }
    KelToggleButton& getPhonesButton() noexcept { return phones; }

private:
    juce::Label gainLabel;
    LevelMeterSlider gain;
    KelToggleButton phones { nullptr };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChannelUpperContainer)
};
}

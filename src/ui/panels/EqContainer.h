#pragma once

#include "ui/panels/ModuleComponent.h"
#include "ui/widgets/KelKnob.h"
#include "ui/widgets/KelToggleButton.h"
#include "ui/widgets/SelectorGrid.h"

namespace zund
{
class MixerHost;

/** "Equalizer": low, mid and high gain, the mid frequency, three kill
    switches and the mode ("EQ" or "ISO"). The mid frequency applies only in
    "EQ": the knob is disabled in "ISO" and keeps its value. The rule is
    applied on the message thread by a change message, which the dispatcher
    sends after each mode change. */
class EqContainer : public ModuleComponent,
                    public juce::ChangeBroadcaster,
                    private juce::ChangeListener
{
public:
    enum Mode
    {
        equaliser = 0,
        isolator = 1
    };

    EqContainer (int channel, MixerHost* owner);
    ~EqContainer() override;

    /** channel x 100 + the function of each widget. */
    void assignControlIds (int channel);

    KelKnob& getLowKnob() noexcept { return low; }
    KelKnob& getMidKnob() noexcept { return mid; }
    KelKnob& getMidFrequencyKnob() noexcept { return midFrequency; }
    KelKnob& getHighKnob() noexcept { return high; }
    KelToggleButton& getKillLowButton() noexcept { return killLow; }
    KelToggleButton& getKillMidButton() noexcept { return killMid; }
    KelToggleButton& getKillHighButton() noexcept { return killHigh; }
    SelectorGrid& getModeGrid() noexcept { return mode; }

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override;

    juce::Label lowLabel, midLabel, midFrequencyLabel, highLabel;
    KelKnob low, mid, midFrequency, high;
    KelToggleButton killLow { nullptr }, killMid { nullptr }, killHigh { nullptr };
    SelectorGrid mode { 0, nullptr };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EqContainer)
};
}

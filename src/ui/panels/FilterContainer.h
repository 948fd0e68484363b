#pragma once

#include "ui/panels/ModuleComponent.h"
#include "ui/widgets/KelKnob.h"
#include "ui/widgets/SelectorGrid.h"

namespace zund
{
class MixerHost;

/** "Filter": the filter kind ("X", the one-knob filter, or "SVF", the
    state-variable filter), cutoff and resonance, and the state-variable
    filter's low-, band- and high-pass levels, which are enabled only for
    "SVF". It sends itself a change message to apply that rule on the message
    thread, whichever thread changed the kind. */
class FilterContainer : public ModuleComponent,
                        public juce::ChangeBroadcaster,
                        private juce::ChangeListener
{
public:
    enum Kind
    {
        oneKnob = 0,
        stateVariable = 1
    };

    FilterContainer (int channel, MixerHost* owner);
    ~FilterContainer() override;

    /** channel x 100 + the function of each widget. */
    void assignControlIds (int channel);

    /** The kind grid changed: "X" puts the cutoff in the middle (its new
        default); "SVF" opens it fully (its new default) with the low-pass
        level at full and the others off. Each knob notifies. Any thread. */
    void resetForMode (int kind);

    SelectorGrid& getKindGrid() noexcept { return kind; }
    KelKnob& getCutoffKnob() noexcept { return cutoff; }
    KelKnob& getResonanceKnob() noexcept { return resonance; }
    KelKnob& getLowPassKnob() noexcept { return lowPass; }
    KelKnob& getBandPassKnob() noexcept { return bandPass; }
    KelKnob& getHighPassKnob() noexcept { return highPass; }

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override;

    juce::Label cutoffLabel, resonanceLabel, lowPassLabel, bandPassLabel, highPassLabel;
    KelKnob cutoff, resonance, lowPass, bandPass, highPass;
    SelectorGrid kind { 0, nullptr };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterContainer)
};
}

#pragma once

#include "ui/panels/ModuleComponent.h"
#include "ui/widgets/KelKnob.h"
#include "ui/widgets/KelToggleButton.h"
#include "ui/widgets/SelectorGrid.h"

namespace zund
{
class MixerHost;

/** "Loop Sampler": the two cue-loop switches CUE1 and CUE2, the grid of loop
    lengths (in bars, 1/32 to 2/1; each cell carries its length) and the ADJ.
    knob that shortens the loop. The loop itself runs in the engine. */
class LoopSamplerContainer : public ModuleComponent
{
public:
    LoopSamplerContainer (int channel, MixerHost* owner);
    ~LoopSamplerContainer() override;

    /** channel x 100 + the function of each widget. */
    void assignControlIds (int channel);

    /** The master strip's form: one tall CUE2 where both switches were, CUE1 hidden. */
    void useSingleCueButton();

    KelToggleButton& getCue1Button() noexcept { return cue1; }
    KelToggleButton& getCue2Button() noexcept { return cue2; }
    SelectorGrid& getLengthGrid() noexcept { return length; }
    KelKnob& getAdjustKnob() noexcept { return adjust; }

private:
    juce::Label adjustLabel;
    SelectorGrid length { 0, nullptr };
    KelKnob adjust;
    KelToggleButton cue1 { nullptr }, cue2 { nullptr };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LoopSamplerContainer)
};
}

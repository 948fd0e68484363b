#pragma once

#include "ui/master/FXContainer.h"
#include "ui/master/MainChannelUpperContainer.h"
#include "ui/panels/EqContainer.h"
#include "ui/panels/FilterContainer.h"
#include "ui/panels/LoopSamplerContainer.h"

#include <array>

namespace zund
{
class MasterStripHost;

/** The master strip on the right of the mixer: the "Main Channel" panel, then
    the loop sampler (one cue switch), filter, equaliser and effect panels of
    the main bus, stacked. The modules carry the master's control ids
    (channel 4, and 500..503, 700..707, 720..732). */
class MainChannel : public juce::Component
{
public:
    static constexpr int channel = 4;

    explicit MainChannel (MasterStripHost* owner);
    ~MainChannel() override;

    void assignControlIds();

    /** The effect panel's tempo takes the BPM colour. */
    void updateColours();
    /** The colour scheme's "Main Channel BPM" (edited in place). */
    juce::Colour bpmColour { 0xffffff00 };

    MainChannelUpperContainer& getUpperContainer() noexcept { return upper; }
    LoopSamplerContainer& getLoopSamplerContainer() noexcept { return loopSampler; }
    FilterContainer& getFilterContainer() noexcept { return filter; }
    EqContainer& getEqContainer() noexcept { return eq; }
    FXContainer& getFXContainer() noexcept { return fx; }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    // In the order they are made; the effect panel last, as it loads plug-ins.
    EqContainer eq;
    FilterContainer filter;
    LoopSamplerContainer loopSampler;
    MainChannelUpperContainer upper;
    FXContainer fx;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainChannel)
};
}

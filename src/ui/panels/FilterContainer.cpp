#include "ui/panels/FilterContainer.h"

#include "ui/MixerHost.h"
#include "ui/panels/ControlIds.h"
#include "ui/panels/KnobSetup.h"
#include "ui/panels/PanelLabel.h"

namespace zund
{
FilterContainer::FilterContainer (int, MixerHost* owner)
    : ModuleComponent ("Filter")
{
    const auto labelColour = owner->getBackgroundColour();
    const auto centred = juce::Justification::centred;
    addPanelLabel (*this, cutoffLabel, "FRQ", { 38, 44, 40, 16 }, centred, labelColour);
    addPanelLabel (*this, resonanceLabel, "Q", { 77, 44, 24, 16 }, centred, labelColour);
    addPanelLabel (*this, lowPassLabel, "LO\n", { 94, 44, 56, 16 }, centred, labelColour);
    addPanelLabel (*this, bandPassLabel, "MID", { 128, 44, 56, 16 }, centred, labelColour);
    addPanelLabel (*this, highPassLabel, "HI", { 173, 44, 24, 16 }, centred, labelColour);

    addKnob (*this, cutoff, 0.5f, { 42, 16, 30, 30 });
    addKnob (*this, resonance, 0.0f, { 74, 16, 30, 30 });
    addKnob (*this, lowPass, 1.0f, { 106, 16, 30, 30 });
    addKnob (*this, bandPass, 0.0f, { 139, 16, 30, 30 });
    addKnob (*this, highPass, 0.0f, { 171, 16, 30, 30 });

    addModeGrid (*this, kind, { "X", "SVF" }, { 8, 20, 30, 30 });

    setSize (204, 62);
    addChangeListener (this);
    sendChangeMessage();
}

FilterContainer::~FilterContainer()
{
    removeChangeListener (this);
}

void FilterContainer::assignControlIds (int channel)
{
    using namespace ControlIds;
    kind.setID (of (channel, filterKind));
    cutoff.setID (of (channel, filterFrequency));
    resonance.setID (of (channel, filterResonance));
    lowPass.setID (of (channel, filterLowPass));
    bandPass.setID (of (channel, filterBandPass));
    highPass.setID (of (channel, filterHighPass));
}

void FilterContainer::resetForMode (int newKind)
{
    if (newKind == oneKnob)
    {
        cutoff.setValue (0.5f, true);
        cutoff.setDefaultValue (0.5f);
    }
    else
    {
        cutoff.setValue (1.0f, true);
        cutoff.setDefaultValue (1.0f);
        lowPass.setValue (1.0f, true);
        bandPass.setValue (0.0f, true);
        highPass.setValue (0.0f, true);
    }
    sendChangeMessage();
}

void FilterContainer::changeListenerCallback (juce::ChangeBroadcaster*)
{
    const bool levelsApply = kind.getSelectedIndex() != oneKnob;
    for (auto* knob : { &lowPass, &bandPass, &highPass })
        knob->setKnobEnabled (levelsApply);
}
}

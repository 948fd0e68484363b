#include "ui/panels/EqContainer.h"

#include "ui/MixerHost.h"
#include "ui/panels/ControlIds.h"
#include "ui/panels/KnobSetup.h"
#include "ui/panels/PanelLabel.h"

namespace zund
{
EqContainer::EqContainer (int, MixerHost* owner)
    : ModuleComponent ("Equalizer")
{
    const auto labelColour = owner->getBackgroundColour();
    const auto centred = juce::Justification::centred;
    addPanelLabel (*this, lowLabel, "LOW\n", { 31, 43, 56, 16 }, centred, labelColour);
    addPanelLabel (*this, midLabel, "MID", { 86, 43, 32, 16 }, centred, labelColour);
    addPanelLabel (*this, midFrequencyLabel, "FRQ\n", { 109, 43, 56, 16 }, centred, labelColour);
    addPanelLabel (*this, highLabel, "HIGH\n", { 151, 43, 56, 16 }, centred, labelColour);
    for (auto* label : { &lowLabel, &midLabel, &midFrequencyLabel, &highLabel })
        label->setName ("new label");

    addKnob (*this, low, 0.5f, { 44, 16, 30, 30 });
    addKnob (*this, mid, 0.5f, { 87, 16, 30, 30 });
    addKnob (*this, midFrequency, 0.5f, { 122, 16, 30, 30 });
    addKnob (*this, high, 0.5f, { 164, 16, 30, 30 });

    KelToggleButton* kills[] = { &killLow, &killMid, &killHigh };
    const int killX[] = { 41, 97, 158 };
    for (int i = 0; i < 3; ++i)
    {
        kills[i]->setTexts ("KILL", {});
        kills[i]->setBounds (killX[i], 58, 40, 15);
        addAndMakeVisible (*kills[i]);
    }

    addModeGrid (*this, mode, { "EQ", "ISO" }, { 8, 20, 30, 30 });

    setSize (204, 80);
    addChangeListener (this);
    sendChangeMessage();
}

EqContainer::~EqContainer()
{
    removeChangeListener (this);
}

void EqContainer::assignControlIds (int channel)
{
    using namespace ControlIds;
    low.setID (of (channel, eqLow));
    midFrequency.setID (of (channel, eqMidFrequency));
    mid.setID (of (channel, eqMid));
    high.setID (of (channel, eqHigh));
    killLow.setID (of (channel, eqKillLow));
    killMid.setID (of (channel, eqKillMid));
    killHigh.setID (of (channel, eqKillHigh));
    mode.setID (of (channel, ControlIds::eqMode));
}

void EqContainer::changeListenerCallback (juce::ChangeBroadcaster*)
{
    midFrequency.setKnobEnabled (mode.getSelectedIndex() == equaliser);
}
}

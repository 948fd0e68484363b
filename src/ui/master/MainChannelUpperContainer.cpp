#include "ui/master/MainChannelUpperContainer.h"

#include "engine/Engine.h"
#include "ui/MixerHost.h"
#include "ui/panels/ControlIds.h"
#include "ui/panels/KnobSetup.h"
#include "ui/panels/PanelLabel.h"

namespace zund
{
namespace
{
void addVolumeFader (juce::Component& panel, LevelMeterSlider& fader, juce::Rectangle<int> bounds)
{
    fader.setName ("new component");
    fader.setDefaultValue (1.0f);
    fader.setValue (1.0f, false);
    fader.setBounds (bounds);
    panel.addAndMakeVisible (fader);
}
}

MainChannelUpperContainer::MainChannelUpperContainer (int, MixerHost* host)
    : ModuleComponent ("Main Channel"),
      owner (*host)
{
    const juce::Colour caption (panelCaptionGrey);
    const auto left = juce::Justification::centredLeft;
    const auto centred = juce::Justification::centred;
    addPanelLabel (*this, mainLabel, "MAIN", { 9, 122, 40, 24 }, left, caption);
    addPanelLabel (*this, phonesLabel, "PHONES", { 58, 122, 57, 24 }, left, caption);
    addPanelLabel (*this, cueMixLabel, "CUE/MAIN", { 117, 122, 72, 24 }, left, caption);
    addPanelLabel (*this, zeroLockLabel, "VIRTUAL Z-LOCK RANGE", { 103, 59, 96, 39 }, centred, caption);
    addPanelLabel (*this, markLabels[0], "0", { 123, 53, 15, 16 }, centred, caption);
    // Tall enough for its digit, just above the knob.
    addPanelLabel (*this, markLabels[1], "1", { 143, 21, 12, 13 }, centred, caption);
    addPanelLabel (*this, markLabels[2], "2", { 160, 53, 16, 16 }, centred, caption);
    for (auto* label : { &mainLabel, &phonesLabel, &cueMixLabel, &zeroLockLabel })
        label->setBufferedToImage (true);
    for (auto& mark : markLabels)
        mark.setBorderSize ({}); // a digit in a box hardly wider than it
    for (auto* label : { &mainLabel, &phonesLabel, &cueMixLabel, &zeroLockLabel, &markLabels[0], &markLabels[1],
                         &markLabels[2] })
        label->setName ("new label");

    addVolumeFader (*this, mainVolume, { 12, 24, 31, 104 });
    addVolumeFader (*this, phonesVolume, { 68, 24, 31, 104 });

    addKnob (*this, cueMix, 0.0f, { 134, 97, 30, 30 });
    addKnob (*this, zeroLockRange, 0.0f, { 134, 34, 30, 30 });
    cueMix.setName ("new component");
    zeroLockRange.setName ("new component");

    // The strip's width: the panels of the master strip line up under one another.
    setSize (204, 148);
    startTimer (meterIntervalMs);
}

MainChannelUpperContainer::~MainChannelUpperContainer()
{
    stopTimer();
}

void MainChannelUpperContainer::assignControlIds()
{
    mainVolume.setID (ControlIds::mainVolume);
    phonesVolume.setID (ControlIds::phonesVolume);
    cueMix.setID (ControlIds::cueMix);
    zeroLockRange.setID (ControlIds::zeroLockRange);
}

void MainChannelUpperContainer::updateMeters()
{
    const auto& engine = owner.getEngine();
    const std::array<float, 8> levels {
        engine.getMainPeak (0),   engine.getMainPeak (1),   engine.getMainHold (0),   engine.getMainHold (1),
        engine.getPhonesPeak (0), engine.getPhonesPeak (1), engine.getPhonesHold (0), engine.getPhonesHold (1),
    };
    // A silent or steady bus repaints nothing.
    if (levels == shownLevels)
        return;
    shownLevels = levels;
    mainVolume.setLevels (levels[0], levels[1], levels[2], levels[3]);
    phonesVolume.setLevels (levels[4], levels[5], levels[6], levels[7]);
}
}

#include "ui/master/FXContainer.h"

#include "common/files/ProgramFolder.h"
#include "common/xml/NumberAttribute.h"
#include "common/xml/SafeXmlReader.h"
#include "common/files/UserFiles.h"
#include "engine/Engine.h"
#include "ui/master/MasterStripHost.h"
#include "ui/panels/ControlIds.h"
#include "ui/panels/KnobSetup.h"
#include "ui/panels/PanelLabel.h"

#include <cmath>
#include <iostream>

namespace zund
{
namespace
{
// Plug-in state blocks may carry a few MB each.
const XmlLimits lastPluginsLimits { 64 << 20, 8 };

constexpr int mainBus = Engine::masterSet;
const char* const slotAttribute = "slot";
constexpr int mainCell = 4;

juce::File lastPluginsFile()
{
    return getApplicationFolderFile (FXContainer::lastPluginsFileName);
}

juce::StringArray speedLabelsFor (int mode)
{
    switch (mode)
    {
        case 0: return { "1/2", "3/4", "1/1", "2/1", "4/1" };
        case 1: return { "1/8", "3/16", "1/4", "1/2", "1/1" };
        default: return { "N.A.", "N.A.", "N.A.", "N.A.", "N.A." };
    }
}

void setUpGrid (juce::Component& panel, SelectorGrid& grid, int rows, int columns, const juce::StringArray& texts,
                int selected, juce::Rectangle<int> bounds)
{
    grid.setName ("new component");
    grid.setRows (rows);
    grid.setColumns (columns);
    grid.setCellTexts (texts);
    grid.selectIndex (selected, false);
    grid.setBounds (bounds);
    panel.addAndMakeVisible (grid);
}
}

FXContainer::FXContainer (int, MasterStripHost* ownerToUse)
    : ModuleComponent ("FX"),
      owner (*ownerToUse)
{
    tempoFrame.setName ("new group");
    tempoFrame.setBounds (49, 277, 108, 50);
    addAndMakeVisible (tempoFrame);

    const juce::Colour caption (panelCaptionGrey);
    const auto left = juce::Justification::centredLeft;
    addPanelLabel (*this, channelLabel, "FX CHANNEL", { 66, 231, 79, 24 }, left, caption);
    addPanelLabel (*this, depthLabel, "DEPTH", { 115, 122, 48, 24 }, left, caption);
    addPanelLabel (*this, mixLabel, "MIX", { 162, 122, 32, 24 }, left, caption);
    addPanelLabel (*this, speedLabel, "FX SPEED", { 72, 262, 79, 24 }, left, caption);
    addPanelLabel (*this, tempoDisplay, "xyz\n", { 55, 298, 96, 16 }, juce::Justification::centred, caption);
    tempoDisplay.setFont (juce::Font (20.0f, juce::Font::bold));
    for (auto* label : { &channelLabel, &depthLabel, &mixLabel, &speedLabel, &tempoDisplay })
        label->setName ("new label");

    setUpGrid (*this, effectGrid, 9, 1,
               { "[Plugins Only]", "Flanger", "Phaser", "Echo", "Delay", "LFO Filter", "Tremolo", "Pan", "Reverb" }, 1,
               { 8, 21, 96, 126 });
    setUpGrid (*this, channelGrid, 1, 5, { "1", "2", "3", "4", "MAIN" }, mainCell, { 8, 221, 190, 15 });
    setUpGrid (*this, speedGrid, 1, numSpeedCells, speedLabelsFor (0), numSpeedCells - 1, { 8, 252, 190, 15 });
    speedGrid.setTextStyle (12.0f, juce::Font::bold);

    effectOn.setName ("new component");
    effectOn.setTexts ("FX", {});
    effectOn.setTextStyle (20.0f, juce::Font::plain);
    effectOn.setBlinking (true);
    effectOn.setBounds (123, 30, 64, 56);
    addAndMakeVisible (effectOn);

    addKnob (*this, depth, 0.5f, { 120, 97, 30, 30 });
    addKnob (*this, mix, 0.5f, { 160, 97, 30, 30 });

    tapButton.setName ("new component");
    tapButton.setTexts ("TAP", {});
    tapButton.setBounds (159, 285, 39, 40);
    addAndMakeVisible (tapButton);

    setUpGrid (*this, tempoSourceGrid, 2, 1, { "CLOCK", "TAP" }, clockSource, { 7, 285, 40, 40 });
    tempoSourceGrid.setTextStyle (10.0f, juce::Font::bold);

    for (int i = 0; i < numPluginSlots; ++i)
    {
        auto& pluginSlot = pluginSlots[(size_t) i];
        pluginSlot = std::make_unique<AudioPluginContainer> (mainBus, i, owner);
        pluginSlot->setName ("new component");
        pluginSlot->setBounds (8 + 96 * i, 158, 94, 56);
        addAndMakeVisible (*pluginSlot);
    }

    setSpeedLabels (0);
    // The strip's width: the panels of the master strip line up under one another.
    setSize (204, 334);
    startTimer (tempoIntervalMs);
    restorePluginSlots();
}

FXContainer::~FXContainer()
{
    stopTimer();
    savePluginSlots();
}

void FXContainer::assignControlIds()
{
    effectGrid.setID (ControlIds::effectType);
    effectOn.setID (ControlIds::effectOn);
    depth.setID (ControlIds::effectDepth);
    mix.setID (ControlIds::effectMix);
    channelGrid.setID (ControlIds::effectChannel);
    speedGrid.setID (ControlIds::effectSpeed);
    tempoSourceGrid.setID (ControlIds::effectClock);
    tapButton.setID (ControlIds::tap);
    for (int i = 0; i < numPluginSlots; ++i)
        for (int k = 0; k < AudioPluginContainer::numKnobs; ++k)
            pluginSlots[(size_t) i]->getKnob (k).setID (ControlIds::firstPluginKnob + 10 * i + k);
}

//==============================================================================
void FXContainer::setSpeedLabels (int mode)
{
    JUCE_ASSERT_MESSAGE_THREAD
    if (mode == speedLabelMode)
        return;
    speedLabelMode = mode;
    speedGrid.setCellTexts (speedLabelsFor (mode));
}

//==============================================================================
void FXContainer::updateTempo()
{
    double bpm;
    if (tempoSourceGrid.getSelectedIndex() == tapSource)
    {
        bpm = owner.getTapTempo();
    }
    else
    {
        const auto& engine = owner.getEngine();
        bpm = engine.getCurrentBpm (engine.getClockChannel());
    }

    if (! (bpm >= minimumTempo)) // NaN too
        bpm = minimumTempo;

    owner.setEffectTempo (bpm);
    tempoDisplay.setText (juce::String (bpm, 1) + " BPM", juce::dontSendNotification);
}

void FXContainer::setTempoColour (juce::Colour colour)
{
    tempoDisplay.setColour (juce::Label::textColourId, colour);
}

//==============================================================================
// "lastPlugins.xml": the slots' state elements in slot order; one that is not at
// its slot's position names its slot.
void FXContainer::restorePluginSlots()
{
    const auto file = lastPluginsFile();
    const auto result = readXmlFileSafely (file, lastPluginsLimits);
    if (! result.parsed())
    {
        if (! result.missing)
        {
            // Kept, so that the file written at exit does not replace the user's settings.
            const auto aside = keepFileAside (file);
            std::cerr << "Zund: " << file.getFileName() << " could not be read (" << result.error << "); kept as "
                      << aside.getFileName() << std::endl;
        }
        return;
    }

    // Each state goes back to the slot it came from (files without the slot
    // number: by position), so slot 2's knobs and their MIDI mapping stay slot 2's.
    std::array<const juce::XmlElement*, numPluginSlots> states {};
    for (int child = 0; child < result.root->getNumChildElements(); ++child)
    {
        const auto* state = result.root->getChildElement (child);
        int slot = readWholeNumberAttribute (*state, slotAttribute, child);
        if (! juce::isPositiveAndBelow (slot, numPluginSlots))
            slot = child; // a damaged number names no slot: by position, so the plug-in is not lost
        if (juce::isPositiveAndBelow (slot, numPluginSlots) && states[(size_t) slot] == nullptr)
            states[(size_t) slot] = state;
    }
    for (int i = 0; i < numPluginSlots; ++i)
        pluginSlots[(size_t) i]->fromXml (states[(size_t) i]);
}

void FXContainer::savePluginSlots()
{
    juce::XmlElement root ("trunk");
    for (int i = 0; i < numPluginSlots; ++i)
        if (auto state = pluginSlots[(size_t) i]->toXml())
        {
            // Only a state that its position would put into another slot
            // (slot 2's, with slot 1 empty) carries its slot number.
            state->removeAttribute (slotAttribute);
            if (root.getNumChildElements() != i)
                state->setAttribute (slotAttribute, i);
            root.addChildElement (state.release());
        }

    juce::String error;
    if (! writeXmlFileSafely (lastPluginsFile(), root, &error))
        std::cerr << "Zund: " << lastPluginsFileName << " was not written: " << error << std::endl;
}
}

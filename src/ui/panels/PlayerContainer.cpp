#include "ui/panels/PlayerContainer.h"

#include "ui/panels/ControlIds.h"

namespace zund
{
namespace
{
void addToggle (juce::Component& panel, KelToggleButton& toggle, const juce::String& onText,
                const juce::String& offText, juce::Rectangle<int> bounds)
{
    toggle.setTexts (onText, offText);
    toggle.setBounds (bounds);
    panel.addAndMakeVisible (toggle);
}
}

PlayerContainer::PlayerContainer (int channelIndex, MixerHost*)
    : ModuleComponent ("Player"),
      channel (channelIndex)
{
    // Made after the others, so the repaint list (and the MIDI feedback sent
    // for all controls) keeps the panel's order.
    for (auto& deck : decks)
        deck = std::make_unique<KelToggleButton> (nullptr);

    volume.setName ("knbVolume");
    volume.setDefaultValue (1.0f);
    volume.setValue (1.0f, false);
    volume.setBounds (5, 17, 27, 60);
    addAndMakeVisible (volume);

    addToggle (*this, play, "PLAY", "PAUSE", { 152, 19, 42, 15 });
    play.setValue (1.0f, false);

    rewind.setTexts ("REWIND", {});
    rewind.setBounds (98, 19, 51, 15);
    addAndMakeVisible (rewind);

    addToggle (*this, thru, "THRU", {}, { 36, 59, 44, 15 });
    addToggle (*this, control, "CONTROL", {}, { 36, 19, 59, 15 });
    addToggle (*this, sync, "SYNC", {}, { 154, 39, 40, 15 });
    addToggle (*this, clock, "CLOCK", {}, { 106, 39, 44, 15 });
    addToggle (*this, absolute, "ABSOLUTE", "RELATIVE", { 36, 39, 66, 15 });
    for (int d = 0; d < numDecks; ++d)
        addToggle (*this, *decks[(size_t) d], juce::String (d + 1), {}, { 91 + 26 * d, 59, 24, 15 });

    setSize (204, 81);
}

PlayerContainer::~PlayerContainer() = default;

void PlayerContainer::assignControlIds (int channelIndex)
{
    using namespace ControlIds;
    volume.setID (of (channelIndex, fader));
    control.setID (of (channelIndex, ControlIds::control));
    rewind.setID (of (channelIndex, ControlIds::rewind));
    play.setID (of (channelIndex, ControlIds::play));
    sync.setID (of (channelIndex, ControlIds::sync));
    clock.setID (of (channelIndex, ControlIds::clock));
    absolute.setID (of (channelIndex, ControlIds::absolute));
    thru.setID (of (channelIndex, ControlIds::thru));
    for (int d = 0; d < numDecks; ++d)
        decks[(size_t) d]->setID (of (channelIndex, firstInputDeck + d));
}
}

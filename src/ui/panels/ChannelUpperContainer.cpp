#include "ui/panels/ChannelUpperContainer.h"

#include "ui/panels/ControlIds.h"
#include "ui/panels/PanelLabel.h"

namespace zund
{
ChannelUpperContainer::ChannelUpperContainer (int, MixerHost*)
    : ModuleComponent ("Channel")
{
    addPanelLabel (*this, gainLabel, "GAIN", { 4, 19, 39, 24 }, juce::Justification::centredLeft,
                   juce::Colour (panelCaptionGrey));
    gainLabel.setName ("new label");
    gainLabel.setBufferedToImage (true);

    gain.setName ("slider");
    gain.setDefaultValue (0.5f);
    gain.setValue (0.5f, false);
    gain.setMarker (0.5f);
    gain.setBounds (41, 16, 104, 32);
    addAndMakeVisible (gain);

    phones.setTexts ("Phones", {});
    phones.setBounds (150, 23, 46, 15);
    addAndMakeVisible (phones);

    setSize (204, 48);
}

ChannelUpperContainer::~ChannelUpperContainer() = default;

void ChannelUpperContainer::assignControlIds (int channel)
{
    gain.setID (ControlIds::of (channel, ControlIds::gain));
    phones.setID (ControlIds::of (channel, ControlIds::phones));
}
}

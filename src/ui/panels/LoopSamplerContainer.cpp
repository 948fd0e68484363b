#include "ui/panels/LoopSamplerContainer.h"

#include "ui/panels/ControlIds.h"
#include "ui/panels/KnobSetup.h"
#include "ui/panels/PanelLabel.h"

namespace zund
{
namespace
{
constexpr int eighthCell = 6;
}

LoopSamplerContainer::LoopSamplerContainer (int, MixerHost*)
    : ModuleComponent ("Loop Sampler")
{
    addPanelLabel (*this, adjustLabel, "ADJ.", { 172, 39, 36, 25 }, juce::Justification::centredLeft,
                   juce::Colour (panelCaptionGrey));
    adjustLabel.setName ("new label");

    length.setRows (2);
    length.setColumns (4);
    length.setCellTexts ({ "2/1", "1/1", "3/4", "1/2", "1/32", "1/16", "1/8", "1/4" });
    length.setCellValues ({ 2.0f, 1.0f, 0.75f, 0.5f, 0.03125f, 0.0625f, 0.125f, 0.25f });
    length.setTextStyle (10.0f, juce::Font::bold);
    length.selectIndex (eighthCell, false);
    length.setBounds (46, 20, 120, 34);
    addAndMakeVisible (length);

    addKnob (*this, adjust, 1.0f, { 171, 16, 30, 30 });

    cue1.setTexts ("CUE1", {});
    cue1.setBounds (6, 20, 36, 16);
    addAndMakeVisible (cue1);
    cue2.setTexts ("CUE2", {});
    cue2.setBounds (6, 38, 36, 16);
    addAndMakeVisible (cue2);

    setSize (204, 62);
}

LoopSamplerContainer::~LoopSamplerContainer() = default;

void LoopSamplerContainer::assignControlIds (int channel)
{
    using namespace ControlIds;
    cue1.setID (of (channel, ControlIds::cue1));
    cue2.setID (of (channel, ControlIds::cue2));
    length.setID (of (channel, loopLength));
    adjust.setID (of (channel, loopAdjust));
}

void LoopSamplerContainer::useSingleCueButton()
{
    cue2.setBounds (cue1.getX(), cue1.getY(), cue1.getWidth(), cue2.getBottom() - cue1.getY());
    cue1.setVisible (false);
}
}

#include "ui/widgets/CuePointComponent.h"

namespace zund
{
CuePointComponent::Colours CuePointComponent::colours;

namespace
{
juce::Array<CuePointComponent*>& liveMarkers()
{
    static juce::Array<CuePointComponent*> markers;
    return markers;
}
}

CuePointComponent::CuePointComponent (int id, ExComponentListener* listener)
    : KelButton (id, listener)
{
    setBufferedToImage (true);
    liveMarkers().add (this);
    colours = {};
}

CuePointComponent::~CuePointComponent()
{
    liveMarkers().removeFirstMatchingValue (this);
}

void CuePointComponent::setNumber (int newNumber)
{
    number = newNumber;
    markDirty();
}

void CuePointComponent::repaintAll()
{
    for (auto* marker : liveMarkers())
        marker->repaint();
}

void CuePointComponent::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();
    if (w < 5 || h < 3)
        return; // no room for a head
    const float s = (float) (w - 4);
    const auto fill = isOn() ? colours.insidePressed : (isPointerOver() ? colours.insideOver : colours.inside);

    g.setColour (colours.outline);
    g.drawEllipse (2.0f, 2.0f, s, s, 2.0f);
    g.setColour (fill);
    g.fillEllipse (3.0f, 3.0f, s - 2.0f, s - 2.0f);

    g.setColour (colours.text);
    g.setFont (juce::Font (s * 0.7f, juce::Font::bold));
    g.drawText (juce::String (number), 0, 0, w, w, juce::Justification::centred, false);

    const int mid = w / 2;
    const float top = (float) (w - 3), bottom = (float) h;
    g.setColour (fill);
    g.drawVerticalLine (mid, top, bottom);
    g.setColour (colours.outline);
    g.drawVerticalLine (mid - 1, top, bottom);
    g.drawVerticalLine (mid + 1, top, bottom);
    g.drawHorizontalLine (h - 1, (float) (mid - 1), (float) (mid + 2));
}

void CuePointComponent::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown())
        setTopLeftPosition (hiddenX, getY());
    KelButton::mouseDown (e);
}
}

#include "library/browser/MagnifyingGlassButton.h"

namespace zund
{
MagnifyingGlassButton::MagnifyingGlassButton (ExComponentListener* listener)
    : KelButton (0, listener)
{
    setTexts ("Find", {});
}

void MagnifyingGlassButton::paint (juce::Graphics& g)
{
    auto box = getLocalBounds().toFloat().reduced (1.0f);
    auto blue = juce::Colour (0xff0000ff);
    g.setColour (isPointerOver() ? blue.brighter (0.3f) : blue);
    g.fillRoundedRectangle (box, 3.0f);

    // The glass: a ring in the upper left, the handle towards the lower right.
    const float side = juce::jmin (box.getWidth(), box.getHeight());
    const auto area = box.withSizeKeepingCentre (side, side).reduced (side * 0.18f);
    const float ringSize = area.getWidth() * 0.62f;
    const juce::Rectangle<float> ring (area.getX(), area.getY(), ringSize, ringSize);

    g.setColour (juce::Colours::white);
    g.drawEllipse (ring, 2.0f);
    const float offset = ringSize * 0.5f * juce::MathConstants<float>::sqrt2 * 0.5f;
    g.drawLine (ring.getCentreX() + offset, ring.getCentreY() + offset, area.getRight(), area.getBottom(), 2.0f);
}
}

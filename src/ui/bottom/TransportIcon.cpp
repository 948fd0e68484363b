#include "ui/bottom/TransportIcon.h"

namespace zund
{
TransportIcon::TransportIcon (Kind iconKind)
    : kind (iconKind)
{
    setInterceptsMouseClicks (false, false);
}

void TransportIcon::paint (juce::Graphics& g)
{
    // Inside the button's 1-pixel frame, with a little air.
    const auto area = getLocalBounds().toFloat().reduced (3.0f, 3.5f);
    const int triangles = kind == Kind::play ? 1 : 2;
    const float width = area.getWidth() / (float) triangles;
    const bool pointsLeft = kind == Kind::rewind;

    juce::Path path;
    for (int i = 0; i < triangles; ++i)
    {
        const float left = area.getX() + width * (float) i, right = left + width;
        const float tip = pointsLeft ? left : right, base = pointsLeft ? right : left;
        path.addTriangle (base, area.getY(), base, area.getBottom(), tip, area.getCentreY());
    }
    g.setColour (juce::Colour::greyLevel (0.8f));
    g.fillPath (path);
}
}

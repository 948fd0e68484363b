#include "library/tree/TreeIcons.h"

namespace zund
{
namespace
{
void fillAndOutline (juce::Graphics& g, const juce::Path& shape, juce::Colour fill)
{
    g.setColour (fill);
    g.fillPath (shape);
    g.setColour (fill.darker (0.6f));
    g.strokePath (shape, juce::PathStrokeType (1.0f));
}

void drawCases (juce::Graphics& g, juce::Rectangle<float> r)
{
    juce::Path handle;
    handle.addRoundedRectangle (r.getX() + r.getWidth() * 0.3f, r.getY() + r.getHeight() * 0.1f, r.getWidth() * 0.4f,
                                r.getHeight() * 0.3f, 1.5f);
    g.setColour (juce::Colour (0xff8a5a1c));
    g.strokePath (handle, juce::PathStrokeType (1.5f));

    juce::Path body;
    body.addRoundedRectangle (r.withTrimmedTop (r.getHeight() * 0.3f), 1.5f);
    fillAndOutline (g, body, juce::Colour (0xffd9a441));
    g.setColour (juce::Colour (0xff8a5a1c));
    g.drawHorizontalLine (juce::roundToInt (r.getY() + r.getHeight() * 0.6f), r.getX() + 1.0f, r.getRight() - 1.0f);
}

void drawDatabase (juce::Graphics& g, juce::Rectangle<float> r)
{
    const float lid = r.getHeight() * 0.3f;
    juce::Path body;
    body.startNewSubPath (r.getX(), r.getY() + lid * 0.5f);
    body.lineTo (r.getX(), r.getBottom() - lid * 0.5f);
    body.addCentredArc (r.getCentreX(), r.getBottom() - lid * 0.5f, r.getWidth() * 0.5f, lid * 0.5f, 0.0f,
                        -juce::MathConstants<float>::halfPi, juce::MathConstants<float>::halfPi);
    body.lineTo (r.getRight(), r.getY() + lid * 0.5f);
    body.closeSubPath();
    fillAndOutline (g, body, juce::Colour (0xff6f8fb8));

    juce::Path top;
    top.addEllipse (r.withHeight (lid));
    fillAndOutline (g, top, juce::Colour (0xff9fb9dc));
}

void drawFolder (juce::Graphics& g, juce::Rectangle<float> r)
{
    juce::Path folder;
    const float tab = r.getHeight() * 0.25f;
    folder.startNewSubPath (r.getX(), r.getY() + tab);
    folder.lineTo (r.getX(), r.getBottom());
    folder.lineTo (r.getRight(), r.getBottom());
    folder.lineTo (r.getRight(), r.getY() + tab);
    folder.lineTo (r.getX() + r.getWidth() * 0.5f, r.getY() + tab);
    folder.lineTo (r.getX() + r.getWidth() * 0.4f, r.getY());
    folder.lineTo (r.getX(), r.getY());
    folder.closeSubPath();
    fillAndOutline (g, folder, juce::Colour (0xffe8c547));
}

void drawCdRom (juce::Graphics& g, juce::Rectangle<float> r)
{
    const auto disc = r.withSizeKeepingCentre (juce::jmin (r.getWidth(), r.getHeight()), juce::jmin (r.getWidth(), r.getHeight()));
    juce::Path shape;
    shape.addEllipse (disc);
    fillAndOutline (g, shape, juce::Colour (0xffc8ccd4));
    g.setColour (juce::Colour (0xff80a8d8).withAlpha (0.6f));
    g.fillEllipse (disc.reduced (disc.getWidth() * 0.18f));
    g.setColour (juce::Colours::black);
    g.fillEllipse (disc.withSizeKeepingCentre (disc.getWidth() * 0.25f, disc.getHeight() * 0.25f));
}

void drawHardDisk (juce::Graphics& g, juce::Rectangle<float> r)
{
    juce::Path box;
    box.addRoundedRectangle (r.withTrimmedTop (r.getHeight() * 0.25f).withTrimmedBottom (r.getHeight() * 0.1f), 1.5f);
    fillAndOutline (g, box, juce::Colour (0xffa0a4aa));
    g.setColour (juce::Colour (0xff30d030));
    g.fillRect (juce::Rectangle<float> (r.getRight() - 4.0f, r.getBottom() - r.getHeight() * 0.1f - 4.0f, 2.0f, 2.0f));
}

void drawRemovable (juce::Graphics& g, juce::Rectangle<float> r)
{
    juce::Path connector;
    connector.addRectangle (r.getX() + r.getWidth() * 0.3f, r.getY(), r.getWidth() * 0.4f, r.getHeight() * 0.3f);
    fillAndOutline (g, connector, juce::Colour (0xffd0d0d0));

    juce::Path body;
    body.addRoundedRectangle (r.getX() + r.getWidth() * 0.15f, r.getY() + r.getHeight() * 0.3f, r.getWidth() * 0.7f,
                              r.getHeight() * 0.7f, 1.5f);
    fillAndOutline (g, body, juce::Colour (0xff3c7dd9));
}
}

void TreeIcons::draw (juce::Graphics& g, int index, juce::Rectangle<float> area)
{
    const auto r = area.reduced (1.5f);
    switch (index)
    {
        case 0: drawCases (g, r); break;
        case 1: drawDatabase (g, r); break;
        case 2: drawFolder (g, r); break;
        case 3: drawCdRom (g, r); break;
        case 4: drawHardDisk (g, r); break;
        case 5: drawRemovable (g, r); break;
        default: break;
    }
}
}

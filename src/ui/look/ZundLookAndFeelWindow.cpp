// The window frame: title bar and its glass buttons.
#include "ui/look/ZundLookAndFeel.h"

namespace zund
{
namespace
{
const juce::Colour windowButtonColour (0xff808080);

juce::Path lineShape (std::initializer_list<juce::Line<float>> lines, float thickness)
{
    juce::Path shape;
    for (const auto& line : lines)
        shape.addLineSegment (line, thickness);
    return shape;
}

// Two overlapping squares: the window is maximised.
juce::Path restoreShape()
{
    juce::Path shape;
    shape.startNewSubPath (45.0f, 100.0f);
    shape.lineTo (0.0f, 100.0f);
    shape.lineTo (0.0f, 0.0f);
    shape.lineTo (100.0f, 0.0f);
    shape.lineTo (100.0f, 45.0f);
    shape.addRectangle (45.0f, 45.0f, 100.0f, 100.0f);
    juce::PathStrokeType (30.0f).createStrokedPath (shape, shape);
    return shape;
}
}

ZundLookAndFeel::GlassWindowButton::GlassWindowButton (const juce::String& name, juce::Colour colourToUse,
                                                       const juce::Path& normal, const juce::Path& toggled)
    : juce::Button (name), colour (colourToUse), normalShape (normal), toggledShape (toggled)
{
}

void ZundLookAndFeel::GlassWindowButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isDown)
{
    float alpha = isMouseOver ? 0.55f : (isDown ? 1.0f : 0.8f);
    if (! isEnabled())
        alpha *= 0.5f;

    // The circle sits in the middle of the longer side.
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    float diameter = juce::jmin (w, h);
    float x = (w - diameter) * 0.5f + diameter * 0.05f;
    float y = (h - diameter) * 0.5f + diameter * 0.05f;
    diameter *= 0.9f;

    g.setGradientFill (juce::ColourGradient (juce::Colour::greyLevel (0.9f).withAlpha (alpha), 0.0f, y + diameter,
                                             juce::Colour::greyLevel (0.6f).withAlpha (alpha), 0.0f, y, false));
    g.fillEllipse (x, y, diameter, diameter);

    x += 2.0f;
    y += 2.0f;
    diameter -= 4.0f;
    juce::LookAndFeel_V2::drawGlassSphere (g, x, y, diameter, colour.withAlpha (alpha), 1.0f);

    const auto& shape = getToggleState() ? toggledShape : normalShape;
    const auto fit = shape.getTransformToScaleToFit (x + diameter * 0.3f, y + diameter * 0.3f, diameter * 0.4f,
                                                     diameter * 0.4f, true);
    g.setColour (juce::Colours::black.withAlpha (alpha * 0.9f));
    g.fillPath (shape, fit);
}

juce::Button* ZundLookAndFeel::createDocumentWindowButton (int buttonType)
{
    switch (buttonType)
    {
        case juce::DocumentWindow::closeButton:
        {
            const auto cross = lineShape ({ { 0.0f, 0.0f, 1.0f, 1.0f }, { 1.0f, 0.0f, 0.0f, 1.0f } }, 0.35f);
            return new GlassWindowButton ("close", windowButtonColour, cross, cross);
        }
        case juce::DocumentWindow::minimiseButton:
        {
            const auto bar = lineShape ({ { 0.0f, 0.5f, 1.0f, 0.5f } }, 0.25f);
            return new GlassWindowButton ("minimise", windowButtonColour, bar, bar);
        }
        case juce::DocumentWindow::maximiseButton:
        {
            const auto plus = lineShape ({ { 0.5f, 0.0f, 0.5f, 1.0f }, { 0.0f, 0.5f, 1.0f, 0.5f } }, 0.25f);
            return new GlassWindowButton ("maximise", windowButtonColour, plus, restoreShape());
        }
        default:
            return nullptr;
    }
}

void ZundLookAndFeel::drawDocumentWindowTitleBar (juce::DocumentWindow& window, juce::Graphics& g, int w, int h,
                                                  int titleSpaceX, int titleSpaceW, const juce::Image* icon,
                                                  bool drawTitleTextOnLeft)
{
    juce::LookAndFeel_V2::drawDocumentWindowTitleBar (window, g, w, h, titleSpaceX, titleSpaceW, icon,
                                                      drawTitleTextOnLeft);
    g.setColour (juce::Colours::white);
}
}

#include "ui/preferences/XYGuide.h"

#include <cmath>

namespace zund
{
namespace
{
juce::Path cleanCircle (juce::Rectangle<float> square)
{
    juce::Path path;
    path.addEllipse (square.reduced (square.getWidth() * 0.16f));
    return path;
}

// Two passes of a lopsided, wobbling loop that do not meet: what a worn
// record or a wrong phase gives.
juce::Path doubledLoop (juce::Rectangle<float> square)
{
    const auto centre = square.getCentre();
    const float radius = square.getWidth() * 0.34f;
    juce::Path path;
    for (int pass = 0; pass < 2; ++pass)
    {
        const float scale = pass == 0 ? 1.0f : 0.78f;
        constexpr int steps = 72;
        for (int i = 0; i <= steps; ++i)
        {
            const float a = juce::MathConstants<float>::twoPi * (float) i / (float) steps;
            const float wobble = 1.0f + 0.18f * std::sin (3.0f * a + (float) pass);
            const float x = centre.x + radius * scale * wobble * std::cos (a) * 1.15f;
            const float y = centre.y + radius * scale * wobble * std::sin (a + 0.6f) * 0.75f;
            if (i == 0)
                path.startNewSubPath (x, y);
            else
                path.lineTo (x, y);
        }
    }
    return path;
}

void drawPanel (juce::Graphics& g, juce::Rectangle<float> square, const juce::Path& trace, const juce::String& caption,
                juce::Colour captionColour)
{
    g.setColour (juce::Colours::black);
    g.fillRect (square);
    g.setColour (juce::Colours::white);
    g.strokePath (trace, juce::PathStrokeType (1.5f));

    g.setColour (captionColour);
    g.setFont (juce::Font (16.0f, juce::Font::bold));
    g.drawText (caption, square.withY (square.getBottom() + 3.0f).withHeight (20.0f), juce::Justification::centred,
                false);
}
}

void drawXYGuide (juce::Graphics& g, juce::Rectangle<float> area)
{
    if (area.isEmpty())
        return;

    const juce::Graphics::ScopedSaveState state (g);
    g.addTransform (juce::AffineTransform::scale (area.getWidth() / XYGuideFrame::width,
                                                  area.getHeight() / XYGuideFrame::height)
                        .translated (area.getX(), area.getY()));

    const auto good = XYGuideFrame::goodSquare();
    const auto bad = XYGuideFrame::badSquare();
    drawPanel (g, good, cleanCircle (good), "GOOD", juce::Colours::black);
    drawPanel (g, bad, doubledLoop (bad), "BAD", juce::Colours::red);
}
}

// Toggle buttons, scroll bars and rotary sliders.
#include "ui/look/ZundLookAndFeel.h"

#include "ui/widgets/ExComponentLookAndFeel.h"

namespace zund
{
namespace
{
// A rounded slot along the bar, inset by the given amount.
juce::Path roundedBar (float x, float y, float width, float height, float indent, bool vertical)
{
    juce::Path path;
    const float w = width - indent * 2.0f;
    const float h = height - indent * 2.0f;
    if (w > 0.0f && h > 0.0f)
        path.addRoundedRectangle (x + indent, y + indent, w, h, (vertical ? w : h) * 0.5f);
    return path;
}
}

void ZundLookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool isMouseOver, bool)
{
    if (! button.isEnabled())
    {
        g.fillAll (juce::Colours::black);
        return;
    }

    const auto base = button.getToggleState() ? juce::Colour (0xff80a0a0).darker (0.2f) : juce::Colour (0xffc0c0c0);
    ExComponentLookAndFeel::drawFlatBox (g, isMouseOver ? base.brighter (0.5f) : base, 0, 0, button.getWidth(), button.getHeight(),
                 button.getButtonText(), 13.0f);
}

void ZundLookAndFeel::drawScrollbar (juce::Graphics& g, juce::ScrollBar& scrollbar, int x, int y, int width,
                                     int height, bool vertical, int thumbStart, int thumbSize, bool, bool)
{
    g.fillAll (scrollbar.findColour (juce::ScrollBar::backgroundColourId));

    const float slotIndent = juce::jmin (width, height) > 15 ? 1.0f : 0.0f;
    const float thumbIndent = slotIndent + 1.0f;
    const auto slot = roundedBar ((float) x, (float) y, (float) width, (float) height, slotIndent, vertical);
    const auto thumb = thumbSize <= 0 ? juce::Path()
                       : vertical     ? roundedBar ((float) x, (float) thumbStart, (float) width, (float) thumbSize,
                                                    thumbIndent, true)
                                      : roundedBar ((float) thumbStart, (float) y, (float) thumbSize, (float) height,
                                                    thumbIndent, false);

    // Shading runs across the bar: its start and end points.
    juce::Point<float> from ((float) x, (float) y), to = from;
    (vertical ? to.x : to.y) += (float) (vertical ? width : height) * 0.7f;

    const auto thumbColour = scrollbar.findColour (juce::ScrollBar::thumbColourId);
    // A track colour set on the bar itself wins; otherwise the slot is a
    // darker shade of the thumb.
    const bool ownTrack = scrollbar.isColourSpecified (juce::ScrollBar::trackColourId);
    const auto track1 = ownTrack ? scrollbar.findColour (juce::ScrollBar::trackColourId)
                                 : thumbColour.overlaidWith (juce::Colour (0x80000000));
    const auto track2 = ownTrack ? track1 : thumbColour.overlaidWith (juce::Colour (0x60000000));
    g.setGradientFill (juce::ColourGradient (track1, from, track2, to, false));
    g.fillPath (slot);

    // The far edge of the slot and of the thumb in shadow.
    from = { (float) x, (float) y };
    to = from;
    (vertical ? from.x : from.y) += (float) (vertical ? width : height) * 0.6f;
    (vertical ? to.x : to.y) += (float) (vertical ? width : height);
    g.setGradientFill (juce::ColourGradient (juce::Colours::transparentBlack, from, juce::Colour (0x19000000), to,
                                             false));
    g.fillPath (slot);

    g.setColour (thumbColour);
    g.fillPath (thumb);

    {
        juce::Graphics::ScopedSaveState state (g);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0x10000000), from, juce::Colours::transparentBlack, to,
                                                 false));
        if (vertical)
            g.reduceClipRegion (x + width / 2, y, width, height);
        else
            g.reduceClipRegion (x, y + height / 2, width, height);
        g.fillPath (thumb);
    }

    g.setColour (juce::Colour (0x4c000000));
    g.strokePath (thumb, juce::PathStrokeType (0.4f));
}

void ZundLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float position,
                                        float startAngle, float endAngle, juce::Slider& slider)
{
    const float radius = (float) juce::jmin (width / 2, height / 2) - 2.0f;
    const float centreX = (float) x + (float) width * 0.5f;
    const float centreY = (float) y + (float) height * 0.5f;
    const float angle = startAngle + position * (endAngle - startAngle);
    const bool enabled = slider.isEnabled();
    const bool hover = enabled && slider.isMouseOverOrDragging();

    auto fill = juce::Colour (0x80808080);
    if (enabled)
    {
        fill = slider.findColour (juce::Slider::rotarySliderFillColourId).withAlpha (1.0f);
        if (hover)
            fill = fill.brighter (0.4f);
    }

    const auto atCentre = [&] (float rotation) {
        return juce::AffineTransform::rotation (rotation).translated (centreX, centreY);
    };
    const float diameter = radius * 2.0f;

    if (radius <= 12.0f)
    {
        // Small knobs: a ring with a line from the centre to the rim.
        juce::Path knob;
        knob.addEllipse (-0.4f * diameter, -0.4f * diameter, 0.8f * diameter, 0.8f * diameter);
        juce::PathStrokeType (0.1f * diameter).createStrokedPath (knob, knob);
        knob.addLineSegment ({ 0.0f, 0.0f, 0.0f, -radius }, 0.2f * diameter);
        g.setColour (fill);
        g.fillPath (knob, atCentre (angle));
        return;
    }

    const float inner = 0.2f * radius;
    juce::Path dot;
    dot.addEllipse (-0.7f * inner, -radius, 1.4f * inner, 1.4f * inner);

    // The travelled arc in the fill colour, the rest in green, each with a round end.
    juce::Path travelled;
    travelled.addPieSegment (centreX - radius, centreY - radius, diameter, diameter, startAngle, angle, 0.7f);
    g.setColour (fill);
    g.fillPath (dot, atCentre (startAngle));
    g.fillPath (travelled);

    auto rest = juce::Colour (0xff9acd32);
    if (hover)
        rest = rest.brighter (0.4f);
    juce::Path remaining;
    remaining.addPieSegment (centreX - radius, centreY - radius, diameter, diameter, angle, endAngle, 0.7f);
    g.setColour (rest);
    g.fillPath (remaining);
    g.fillPath (dot, atCentre (endAngle));

    juce::Path pointer;
    pointer.addRoundedRectangle (-0.7f * inner, -radius, 1.4f * inner, radius, inner);
    g.setColour (fill);
    g.fillPath (pointer, atCentre (angle));
}
}

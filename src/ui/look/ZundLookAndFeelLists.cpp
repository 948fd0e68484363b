// The folder tree's open/close boxes and the song table's header.
#include "ui/look/ZundLookAndFeel.h"

namespace zund
{
void ZundLookAndFeel::drawTreeviewPlusMinusBox (juce::Graphics& g, const juce::Rectangle<float>& area, juce::Colour,
                                                bool isOpen, bool)
{
    const auto bounds = area.toNearestInt();
    // Odd, so that the bars have a middle row and column.
    const int side = (juce::jmin (bounds.getWidth(), bounds.getHeight(), 16) * 2 / 3) | 1;
    const int x = bounds.getX() + (bounds.getWidth() - side) / 2;
    const int y = bounds.getY() + (bounds.getHeight() - side) / 2;

    g.setColour (juce::Colour (0xffcccccc));
    g.fillRect (x, y, side, side);
    g.setColour (juce::Colour (0x80000000));
    g.drawRect (x, y, side, side, 1);

    const float bar = (float) (side / 2 + 1);
    const float middle = (float) (side / 2);
    const float barStart = ((float) side - bar) * 0.5f;
    g.fillRect ((float) x + barStart, (float) y + middle, bar, 1.0f);
    if (! isOpen)
        g.fillRect ((float) x + middle, (float) y + barStart, 1.0f, bar);
}

void ZundLookAndFeel::drawTableHeaderBackground (juce::Graphics& g, juce::TableHeaderComponent& header)
{
    const int width = header.getWidth();
    const int height = header.getHeight();

    g.setGradientFill (juce::ColourGradient::vertical (juce::Colour::greyLevel (0.3f), 0.0f,
                                                       juce::Colour::greyLevel (0.1f), (float) height));
    g.fillAll();

    g.setColour (juce::Colour::greyLevel (0.25f));
    g.fillRect (0, height - 1, width, 1);

    g.setColour (juce::Colours::black);
    for (int i = header.getNumColumns (true); --i >= 0;)
        g.fillRect (header.getColumnPosition (i).getRight() - 1, 0, 1, height);

    // A light edge at the left of each column.
    g.setGradientFill (juce::ColourGradient::vertical (juce::Colour::greyLevel (0.4f), 0.0f,
                                                       juce::Colour::greyLevel (0.2f), (float) height));
    for (int i = header.getNumColumns (true); --i >= 0;)
        g.fillRect (header.getColumnPosition (i).getX(), 0, 1, height - 1);
}

void ZundLookAndFeel::drawTableHeaderColumn (juce::Graphics& g, juce::TableHeaderComponent&,
                                             const juce::String& columnName, int, int width, int height,
                                             bool isMouseOver, bool isMouseDown, int columnFlags)
{
    if (isMouseDown)
        g.fillAll (juce::Colour (0x8899aaddU));
    else if (isMouseOver)
        g.fillAll (juce::Colour (0x5599aaddU));

    juce::Rectangle<int> area (width, height);
    area.reduce (4, 0);

    const int sorted = columnFlags
                       & (juce::TableHeaderComponent::sortedForwards | juce::TableHeaderComponent::sortedBackwards);
    if (sorted != 0)
    {
        juce::Path arrow;
        const bool forwards = (columnFlags & juce::TableHeaderComponent::sortedForwards) != 0;
        arrow.addTriangle (0.0f, 0.0f, 0.5f, forwards ? -0.8f : 0.8f, 1.0f, 0.0f);
        g.setColour (juce::Colour (0x99000000));
        g.fillPath (arrow,
                    arrow.getTransformToScaleToFit (area.removeFromRight (height / 2).reduced (2).toFloat(), true));
    }

    g.setColour (juce::Colour::greyLevel (0.8f));
    g.setFont (juce::Font (13.0f, juce::Font::plain));
    g.drawFittedText (columnName, area, juce::Justification::centredLeft, 1, 0.7f);
}
}

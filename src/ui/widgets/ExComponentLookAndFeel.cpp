#include "ui/widgets/ExComponentLookAndFeel.h"

namespace zund
{
namespace
{
void drawCaption (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> box)
{
    // Squeezed rather than clipped when a caption is a little too wide.
    const int lines = 1 + text.retainCharacters ("\n").length();
    g.drawFittedText (text, box, juce::Justification::centred, lines, 0.7f);
}
}

void ExComponentLookAndFeel::drawButtonBox (juce::Graphics& g, juce::Colour topColour, juce::Colour bottomColour,
                                            int x, int y, int w, int h, bool highlighted, const juce::String& text,
                                            float textHeight, int textStyle)
{
    g.setFont (juce::Font (textHeight, textStyle));

    const juce::Rectangle<int> face (x + 1, y + 1, w - 2, h - 2);
    g.setGradientFill (juce::ColourGradient::vertical (topColour, (float) y, bottomColour, (float) (y + h)));
    g.fillRect (face);

    g.setColour (highlighted ? juce::Colour (0xc0ffffff) : juce::Colour (0xff000000));
    g.drawRect (face, 1);

    if (text.isEmpty())
        return;
    g.setColour (juce::Colours::black);
    drawCaption (g, text, { x + 2, y + 1, w - 4, h - 4 });
    g.setColour (juce::Colour::greyLevel (0.8f));
    drawCaption (g, text, { x + 2, y + 2, w - 4, h - 4 });
}

void ExComponentLookAndFeel::drawFlatBox (juce::Graphics& g, juce::Colour colour, int x, int y, int w, int h,
                                          const juce::String& text, float textHeight)
{
    const juce::Rectangle<int> box (x, y, w, h);
    g.setColour (colour);
    g.fillRect (box);
    g.setColour (juce::Colours::black);
    g.drawRect (box, 1);

    g.setColour (juce::Colour (0xff202020));
    g.setFont (juce::Font (textHeight, juce::Font::bold));
    drawCaption (g, text, box);
}
}

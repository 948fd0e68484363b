#include "ui/widgets/KelCrossfader.h"

namespace zund
{
KelCrossfader::KelCrossfader()
{
    setDefaultValue (0.5f);
    setValue (0.5f, false);
    setHorizontal (true);
}

void KelCrossfader::paint (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();
    const float third = h * 0.333f;

    g.setColour (juce::Colour::greyLevel (0.2f));
    g.fillRoundedRectangle (4.0f, third, w - 8.0f, third, 2.0f);
    // The track's grey is the panels' own; a light edge keeps it in sight.
    g.setColour (juce::Colour::greyLevel (0.45f));
    g.drawRoundedRectangle (4.5f, third + 0.5f, w - 9.0f, third - 1.0f, 2.0f, 1.0f);
    g.setColour (juce::Colours::white);
    g.drawVerticalLine (getWidth() / 2, third, 2.0f * third);

    g.setColour (isPointerOver() ? juce::Colour::greyLevel (0.65f) : juce::Colours::black);
    g.fillRoundedRectangle (getValue() * (w - 8.0f), 0.0f, 8.0f, h, 2.0f);
}

juce::Point<int> KelCrossfader::getPointerReturnPosition() const
{
    auto position = getDragStartScreenPosition();
    if (isHorizontal())
        position.x = getScreenX() + (int) ((float) getWidth() * getValue());
    return position;
}
}

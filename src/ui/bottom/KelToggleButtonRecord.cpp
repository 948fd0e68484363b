#include "ui/bottom/KelToggleButtonRecord.h"

namespace zund
{
KelToggleButtonRecord::KelToggleButtonRecord (ExComponentListener* listener)
    : KelToggleButton (listener)
{
    setBlinking (true);
}

void KelToggleButtonRecord::paint (juce::Graphics& g)
{
    const int w = getWidth(), h = getHeight();
    drawButtonBox (g, juce::Colours::black.brighter (0.5f), juce::Colours::black, 0, 0, w, h, isPointerOver(), {},
                   13.0f, juce::Font::plain);

    const juce::Rectangle<float> dot (3.0f, 3.0f, (float) w - 6.0f, (float) h - 6.0f);
    const juce::Colour red (dotColour);
    g.setColour (isLit() ? red.brighter (0.6f) : red);
    g.fillEllipse (dot);
    g.setColour (juce::Colours::black);
    g.drawEllipse (dot, 1.0f);
}
}

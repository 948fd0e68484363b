#include "ui/waveform/WaveViewDrawing.h"

namespace zund
{
void drawSoftInnerFrame (juce::Graphics& g, int width, int height)
{
    const float alphas[] = { 0.75f, 0.5f, 0.25f };
    for (int i = 0; i < 3 && width > 2 * i && height > 2 * i; ++i)
    {
        g.setColour (juce::Colours::black.withAlpha (alphas[i]));
        g.drawRect (i, i, width - 2 * i, height - 2 * i, 1);
    }
}
}

#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zund
{
/** The soft inner frame of the waveform views: black at 75 %, 50 % and 25 %
    on the three outermost pixel rings. */
void drawSoftInnerFrame (juce::Graphics& g, int width, int height);

/** A sample value for drawing: limited to -1..1, 0 for NaN (a broken file's
    samples must not reach the renderer). */
inline float sampleForDrawing (float v) noexcept
{
    return v > 1.0f ? 1.0f : (v >= -1.0f ? v : (v < -1.0f ? -1.0f : 0.0f));
}
}

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The guide under the XY views: a clean circle captioned GOOD in black beside
    a distorted, doubled loop captioned BAD in red, each as a white trace on a
    black square. Drawn in a 141 x 91 frame stretched over `area`. */
void drawXYGuide (juce::Graphics& g, juce::Rectangle<float> area);

struct XYGuideFrame
{
    static constexpr float width = 141.0f, height = 91.0f;
    /** The two black squares, in the frame's units. */
    static juce::Rectangle<float> goodSquare() { return { 6.0f, 4.0f, 60.0f, 60.0f }; }
    static juce::Rectangle<float> badSquare() { return { 75.0f, 4.0f, 60.0f, 60.0f }; }
};
}

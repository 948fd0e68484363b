#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zund
{
/** The tree's icons drawn as vectors, for when "gfx" has no icon images:
    0 cases, 1 database, 2 folder, 3 CD-ROM, 4 hard disk, 5 removable drive. */
struct TreeIcons
{
    static void draw (juce::Graphics& g, int index, juce::Rectangle<float> area);
};
}

#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zund
{
/** Loads "gfx/<name>" from the program folder. The image is kept for the
    lifetime of the program; a missing or unreadable file gives an invalid image.
    Message thread only. */
juce::Image loadGfxImage (const juce::String& fileName);

/** A fill that tiles the named skin image from (0, 0) at full opacity; null when
    the image is missing. The fill lives until the program ends. Message thread only. */
const juce::FillType* createGfxBrush (const juce::String& fileName);
}
